<?php require_once __DIR__ . '/setup.php';
// The views of a picture, counted on its full-picture page.
function vesko($name)
{
    $path = gallery_counter_path($name);
    $data = $path ? gallery_read($path) : null;
    echo $data ? (int)$data['counts'][0] : 0;
}
?>
