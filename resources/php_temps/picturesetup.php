<?php require_once __DIR__ . '/setup.php';
// One picture's counters and comments, or the gallery pages' comments.
gallery_admin_page_head('Picture administration');
if (!gallery_admin())
    gallery_refuse(403, 'Please log in on the administration page first.');
$d = gallery_param($_GET, 'd');
if ($d === 'gcom.ctx')
    $file = 'gcom.ctx';
elseif (preg_match('/^th_([0-9]{1,6})\.(jpg|gif|cnt)$/D', $d, $m))
    $file = "th_{$m[1]}.cnt";
else
    gallery_refuse(404, 'No such picture.');
$path = gallery_comment_path($file);
if (!$path)
    gallery_refuse(404, 'No such picture.');
if (isset($_POST['reset']) && $file !== 'gcom.ctx' && gallery_admin_change_allowed())
    gallery_update($path, function (&$data) { $data['counts'][0] = 0; $data['counts'][1] = 0; $data['counts'][2] = 0; });
$data = gallery_read($path);
if ($data['counts'] !== null) {
    [$views, $sum, $count, $comments] = $data['counts'];
    echo '<img src=', gallery_thumbnail((int)$m[1]), '><p>Views: ', $views, ' | Votes: ', $count, ' | Average: ',
        number_format(gallery_average($data['counts']), 2), ' | Comments: ', $comments, "</p>\r\n",
        '<form method=POST action="picturesetup.php?d=', gallery_html($file), '">', gallery_token_field(),
        "<input type=hidden name=reset value=1><input type=submit value=\"Reset views and votes\"></form>\r\n";
}
echo "<table border=1 cellpadding=4>\r\n";
foreach ($data['comments'] as $line) {
    $c = gallery_decode($line);
    if (!$c)
        continue;
    $id = gallery_html($c['id'] ?? '');
    echo '<tr><td>', gallery_html(utf8_decode_cp($c['user'] ?? '')), '</td><td>',
        nl2br(gallery_html(utf8_decode_cp($c['com'] ?? ''))), '</td><td>',
        '<a href="comedit.php?f=', gallery_html($file), '&amp;id=', $id, '">Edit</a></td><td>',
        '<form method=POST action=comeditdel.php>', gallery_token_field(),
        '<input type=hidden name=f value="', gallery_html($file), '"><input type=hidden name=id value="', $id,
        "\"><input type=submit value=Delete></form></td></tr>\r\n";
}
echo "</table><p><a href=admin.php>Back</a></p></body></html>\r\n";
