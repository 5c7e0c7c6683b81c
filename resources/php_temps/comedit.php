<?php require_once __DIR__ . '/setup.php';
gallery_admin_page_head('Edit comment');
if (!gallery_admin())
    gallery_refuse(403, 'Please log in on the administration page first.');
$file = gallery_param($_GET, 'f');
$id = gallery_param($_GET, 'id');
$path = gallery_comment_path($file);
$found = null;
foreach ($path ? gallery_read($path)['comments'] : [] as $line) {
    $c = gallery_decode($line);
    if ($c && hash_equals((string)($c['id'] ?? ''), $id))
        $found = $c;
}
if (!$found)
    gallery_refuse(404, 'No such comment.');
$found['email'] = utf8_encode_cp(gallery_address($id));
$field = function ($name) use ($found) { return gallery_html(utf8_decode_cp($found[$name] ?? '')); };
echo '<form method=POST action=comeditsave.php>', gallery_token_field(),
    '<input type=hidden name=f value="', gallery_html($file), '"><input type=hidden name=id value="', gallery_html($id), '">',
    'Name<br><input type=text size=30 name=user value="', $field('user'), '"><br>',
    'E-Mail<br><input type=text size=30 name=email value="', $field('email'), '"><br>',
    'Homepage<br><input type=text size=30 name=page value="', $field('page'), '"><br>',
    'Message<br><textarea name=com cols=40 rows=6>', $field('com'), '</textarea><br>',
    "<input type=submit value=Save></form></body></html>\r\n";
