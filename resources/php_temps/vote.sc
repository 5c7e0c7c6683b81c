<?php require_once __DIR__ . '/setup.php';
// The average vote of a picture; votes are taken on its full-picture page.
function vote($name)
{
    $path = gallery_counter_path($name);
    $data = $path ? gallery_read($path) : null;
    if (!$data || $data['counts'][2] == 0) {
        echo '-';
        return;
    }
    echo number_format(gallery_average($data['counts']), 1), ' (', (int)$data['counts'][2], ')';
}
?>
