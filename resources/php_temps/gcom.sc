<?php require_once __DIR__ . '/setup.php';
// The comments of the gallery pages, all kept in gcom.ctx.
function add_gmsg()
{
    $path = gallery_comment_path('gcom.ctx');
    if ($path)
        gallery_post_comment($path);
}

function read_gmsg($name)
{
    $path = $name === 'gcom.ctx' ? gallery_comment_path($name) : null;
    if ($path)
        gallery_show_comments($path);
}
?>
