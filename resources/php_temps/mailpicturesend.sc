<?php
// The builder fills the gallery's heading into the subject of the mail call
// below. That call is this file's own mail() (the namespace's), which adds the
// body with the picture and hands everything to PHP's mail(). The visitor's
// name and text go only into the body, which says where the mail came from;
// the limits of setup.php bound how many mails a visitor and the gallery send.
namespace GalleryMail;

require_once __DIR__ . '/setup.php';

// The body as [the part before its text, the rest].
function body($set = null)
{
    static $body = ['', ''];
    if ($set !== null)
        $body = $set;
    return $body;
}

function mail($to, $subject, $unused, $headers)
{
    [$before, $rest] = body();
    $gallery = preg_replace('/ \| Galeriebild$/D', '', $subject);
    $body = $before . "This picture was sent to you through the page of the web gallery \"$gallery\" " .
        "by one of its visitors; the gallery's owner did not write this message.\r\n\r\n" . $rest;
    if (preg_match('/[\x80-\xFF]/', $subject))
        $subject = '=?windows-1252?B?' . base64_encode($subject) . '?=';
    return \mail($to, $subject, $body, $headers);
}

function refuse($text, $status = 400)
{
    http_response_code($status);
    echo '<p>', \gallery_html($text), '</p></body></html>';
    exit;
}

// A refusal comes after the head: the output is held so that its status is
// still sent where PHP buffers nothing.
ob_start();
echo "<html><head><title>Send picture</title></head><body style=\"font-family:Verdana;font-size:12px\">\r\n";
if ($_SERVER['REQUEST_METHOD'] !== 'POST')
    refuse('Please use the form to send a picture.');
foreach ($_POST as $key => $value)
    if (!is_string($value) || preg_match('/[\r\n\0]/', $value) && $key !== 'com')
        refuse('Line breaks are not allowed in the address fields.');
$email = trim((string)($_POST['email'] ?? ''));
$pic = (string)($_POST['pic'] ?? '');
if (!filter_var($email, FILTER_VALIDATE_EMAIL) || preg_match('/[,;<>\s]/', $email))
    refuse('Please give one e-mail address.');
if (!preg_match('/^th_([0-9]{1,6})\.(jpg|gif)$/D', $pic, $m) || !\gallery_counter_path("th_{$m[1]}.cnt"))
    refuse('This picture is not part of the gallery.');
$file = GALLERY_DIR . "/th_{$m[1]}_big.{$m[2]}";
if (!is_file($file))
    $file = GALLERY_DIR . '/' . $pic;
if (!is_file($file))
    refuse('This picture is not part of the gallery.');

$user = substr(\gallery_text(trim((string)($_POST['user'] ?? ''))), 0, 100);
$text = substr(\gallery_text((string)($_POST['com'] ?? '')), 0, 2000);
$taken = \gallery_take([['mail_visitor', \gallery_visitor()], ['mail_gallery', 'all']]);
if ($taken === false)
    refuse('The picture could not be sent: the gallery cannot keep its limits.', 503);
if ($taken === 'mail_visitor')
    refuse(\gallery_limit_text('mail_visitor', 'pictures sent from your address'), 429);
if ($taken !== true)
    refuse(\gallery_limit_text('mail_gallery', 'pictures sent from this gallery'), 429);
$owner = \gallery_settings()['email'];
$boundary = 'gallery-' . bin2hex(random_bytes(12));
$headers = "MIME-Version: 1.0\r\n";
if (filter_var($owner, FILTER_VALIDATE_EMAIL) && !preg_match('/[\r\n]/', $owner))
    $headers .= "From: $owner\r\n";
$headers .= "Content-Type: multipart/mixed; boundary=\"$boundary\"";
$type = $m[2] === 'gif' ? 'image/gif' : 'image/jpeg';
$note = ($user !== '' ? "$user sends you a picture." : 'A picture for you.') . "\r\n\r\n" .
    preg_replace('/\r\n|\r|\n/', "\r\n", $text);
body(["--$boundary\r\nContent-Type: text/plain; charset=windows-1252\r\nContent-Transfer-Encoding: 8bit\r\n\r\n",
    $note . "\r\n--$boundary\r\nContent-Type: $type; name=\"" . basename($file) . "\"\r\n" .
    "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"" . basename($file) . "\"\r\n\r\n" .
    chunk_split(base64_encode(file_get_contents($file)), 76, "\r\n") . "--$boundary--\r\n"]);

$sent = mail("$email","","",$headers);
if ($sent)
    echo '<p>The picture was sent to ', \gallery_html($email), '.</p>';
else
    echo '<p>The picture could not be sent.</p>';
echo '<p><a href="javascript:window.close()">Close</a></p></body></html>';
