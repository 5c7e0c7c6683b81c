<?php require_once __DIR__ . '/setup.php';
// The owner's page: the password of pa.php opens a session, which lists the
// pictures with their counts and leads to each one's comments and counters.
$wrong = false;
$refused = null;
if ($_SERVER['REQUEST_METHOD'] === 'POST' && isset($_POST['password'])) {
    try {
        $wrong = !gallery_admin_login(gallery_param($_POST, 'password'));
    } catch (GalleryRefused $e) {
        $refused = $e;
    }
}
if ($_SERVER['REQUEST_METHOD'] === 'POST' && isset($_POST['logout']) && gallery_admin_change_allowed())
    gallery_admin_end_session();
$picture = gallery_param($_GET, 'd');
if (!preg_match('/^th_[0-9]{1,6}\.(jpg|gif)$/D', $picture))
    $picture = '';
if (!gallery_admin() && ($refused || $wrong))
    http_response_code($refused ? $refused->getCode() : 403);
gallery_admin_page_head('Gallery administration');
if (!gallery_admin()) {
    if ($refused)
        echo '<p><b>', gallery_html($refused->getMessage()), "</b></p>\r\n";
    elseif ($wrong)
        echo "<p><b>Wrong password.</b></p>\r\n";
    echo '<form method=POST action="admin.php', $picture !== '' ? '?d=' . gallery_html($picture) : '', '">',
        "Password <input type=password name=password> <input type=submit value=Login></form></body></html>\r\n";
    exit;
}
if ($picture !== '')
    echo '<p><a href="picturesetup.php?d=', gallery_html($picture), '">Comments and counters of ',
        gallery_html($picture), "</a></p>\r\n";
echo "<table border=1 cellpadding=4><tr><th>Picture</th><th>Views</th><th>Votes</th><th>Average</th><th>Comments</th></tr>\r\n";
foreach (gallery_pictures() as $p) {
    $thumb = gallery_thumbnail($p['number']);
    [$views, $sum, $count, $comments] = $p['counts'];
    echo '<tr><td><a href="picturesetup.php?d=', $thumb, '"><img src=', $thumb, ' border=0 height=48></a></td><td>',
        $views, '</td><td>', $count, '</td><td>', number_format(gallery_average($p['counts']), 2), '</td><td>',
        $comments, "</td></tr>\r\n";
}
echo "</table>\r\n<p><a href=\"picturesetup.php?d=gcom.ctx\">Comments of the gallery pages</a></p>\r\n";
echo '<form method=POST action=admin.php>', gallery_token_field(),
    "<input type=hidden name=logout value=1><input type=submit value=Logout></form></body></html>\r\n";
