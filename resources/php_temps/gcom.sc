<?php require_once __DIR__ . '/setup.php';
// The comments of the gallery pages, all kept in gcom.ctx.
function add_gmsg()
{
    $path = gallery_comment_path('gcom.ctx');
    if (!$path)
        return;
    // A rebuild leaves the gallery pages it no longer needs; every build
    // writes page1.php, whose form says whether the gallery takes comments.
    if (gallery_param($_POST, 'st') === 'msg' && !gallery_page_offers('msg', 'page1.php')) {
        gallery_tell_refusal(new GalleryRefused('This page takes no comments.', 403));
        return;
    }
    gallery_post_comment($path);
}

function read_gmsg($name)
{
    $path = $name === 'gcom.ctx' ? gallery_comment_path($name) : null;
    if ($path)
        gallery_show_comments($path);
}
?>
