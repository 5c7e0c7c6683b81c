<?php require_once __DIR__ . '/setup.php';
gallery_admin_page_head('Delete comment');
if (!gallery_admin_change_allowed())
    gallery_refuse(403, 'Please log in on the administration page first.');
$file = gallery_field('f');
$id = gallery_field('id');
$path = gallery_comment_path($file);
$deleted = $path && gallery_update($path, function (&$data) use ($id) {
    foreach ($data['comments'] as $i => $line) {
        $c = gallery_decode($line);
        if ($c && hash_equals((string)($c['id'] ?? ''), $id)) {
            array_splice($data['comments'], $i, 1);
            if ($data['counts'] !== null)
                $data['counts'][3] = max(0, $data['counts'][3] - 1);
            return true;
        }
    }
    return false;
});
if (!$deleted)
    gallery_refuse(404, 'No such comment.');
gallery_set_address($id, '');
echo '<p>Deleted.</p><p><a href="picturesetup.php?d=', gallery_html($file), "\">Back</a></p></body></html>\r\n";
