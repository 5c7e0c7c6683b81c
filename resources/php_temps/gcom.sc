<?php require_once __DIR__ . '/setup.php';
// The comments of the gallery pages, all kept in gcom.ctx.
function add_gmsg()
{
    $path = gallery_comment_path('gcom.ctx');
    $record = $path ? gallery_comment_from_post() : null;
    if ($record)
        gallery_add_comment($path, $record);
}

function read_gmsg($name)
{
    $path = $name === 'gcom.ctx' ? gallery_comment_path($name) : null;
    if ($path)
        gallery_show_comments($path);
}
?>
