<?php require_once __DIR__ . '/setup.php';
function com_count($name)
{
    $path = gallery_counter_path($name);
    $data = $path ? gallery_read($path) : null;
    echo $data ? (int)$data['counts'][3] : 0;
}
?>
