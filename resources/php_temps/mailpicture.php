<?php require_once __DIR__ . '/setup.php';
// The form of the pop-up that sends one picture of the gallery.
$pic = $_GET['pic'] ?? '';
$valid = is_string($pic) && preg_match('/^th_([0-9]{1,6})\.(jpg|gif)$/D', $pic, $m) &&
    gallery_counter_path("th_{$m[1]}.cnt") && is_file(GALLERY_DIR . '/' . $pic);
if (!$valid)
    http_response_code(404);
?>
<html><head><title>Send picture</title></head>
<body style="font-family:Verdana;font-size:12px">
<?php if (!$valid) { echo '<p>This picture is not part of the gallery.</p></body></html>'; exit; } ?>
<img src="<?php echo gallery_html($pic); ?>" border=0><p>
<form action=mailpicturesend.php method=POST>
<input type=hidden name=pic value="<?php echo gallery_html($pic); ?>">
Send to (e-mail)<br><input type=text size=30 name=email><br>
Your name<br><input type=text size=30 name=user><br>
Message<br><textarea name=com cols=30 rows=4></textarea><br>
<input type=submit value="Send picture">
</form>
</body></html>
