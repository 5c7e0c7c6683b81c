<?php require_once __DIR__ . '/setup.php';
gallery_admin_page_head('Edit comment');
if (!gallery_admin_change_allowed())
    gallery_refuse(403, 'Please log in on the administration page first.');
$file = gallery_field('f');
$id = gallery_field('id');
$path = gallery_comment_path($file);
$saved = $path && gallery_update($path, function (&$data) use ($id) {
    foreach ($data['comments'] as $i => $line) {
        $c = gallery_decode($line);
        if ($c && hash_equals((string)($c['id'] ?? ''), $id)) {
            foreach (['user', 'com'] as $name)
                $c[$name] = utf8_encode_cp(gallery_field($name));
            $c['page'] = utf8_encode_cp(gallery_homepage(gallery_field('page')));
            unset($c['email']);
            $data['comments'][$i] = gallery_encode($c);
            return true;
        }
    }
    return false;
});
if (!$saved)
    gallery_refuse(404, 'No such comment.');
gallery_set_address($id, gallery_field('email'));
echo '<p>Saved.</p><p><a href="picturesetup.php?d=', gallery_html($file), "\">Back</a></p></body></html>\r\n";
