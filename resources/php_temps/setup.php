<?php
// The functions every page of the gallery shares. Pages include this file;
// asked for directly it shows nothing.
//
// Files of the gallery folder:
// - th_N.cnt, one per picture: line 1 the views, line 2 "sum,count" of the
//   votes, line 3 the number of comments, then one comment per line;
// - gcom.ctx: the comments of the gallery pages, one per line;
// - pa.php: line 2 the admin password, line 3 the owner's e-mail address,
//   line 4 "yes" while visitors may post comments (anything else closes the
//   comment forms), line 5 the largest message in bytes that is taken.
// A comment line is base64 of a JSON object, so no text a visitor writes can
// break a line or the file.

if (!defined('GALLERY_DIR')) {
define('GALLERY_DIR', __DIR__);

function gallery_html($text)
{
    return htmlspecialchars((string)$text, ENT_QUOTES | ENT_SUBSTITUTE, 'Windows-1252');
}

// Only counter files this gallery wrote are names a request may use.
function gallery_counter_path($name)
{
    if (!is_string($name) || !preg_match('/^th_[0-9]{1,6}\.cnt$/D', $name))
        return null;
    $path = GALLERY_DIR . '/' . $name;
    return is_file($path) ? $path : null;
}

function gallery_comment_path($name)
{
    if ($name === 'gcom.ctx')
        return is_file(GALLERY_DIR . '/gcom.ctx') ? GALLERY_DIR . '/gcom.ctx' : null;
    return gallery_counter_path($name);
}

function gallery_settings()
{
    static $settings = null;
    if ($settings === null) {
        $lines = @file(GALLERY_DIR . '/pa.php', FILE_IGNORE_NEW_LINES) ?: [];
        $lines = array_map(function ($l) { return rtrim($l, "\r"); }, $lines);
        $settings = [
            'password' => $lines[1] ?? '',
            'email' => $lines[2] ?? '',
            'open' => ($lines[3] ?? '') === 'yes',
            'maxlength' => max(1, (int)($lines[4] ?? 10000)),
        ];
    }
    return $settings;
}

// The lines of a counter file, with its three counts always present.
function gallery_parse($text, $isCounter)
{
    $lines = preg_split('/\r\n|\r|\n/', $text);
    while ($lines && end($lines) === '')
        array_pop($lines);
    if (!$isCounter)
        return ['counts' => null, 'comments' => $lines];
    $views = (int)($lines[0] ?? 0);
    $votes = explode(',', $lines[1] ?? '0,0');
    return [
        'counts' => [$views, (int)($votes[0] ?? 0), (int)($votes[1] ?? 0), (int)($lines[2] ?? 0)],
        'comments' => array_slice($lines, 3),
    ];
}

function gallery_format($data)
{
    $text = '';
    if ($data['counts'] !== null) {
        [$views, $sum, $count, $comments] = $data['counts'];
        $text = "$views\r\n$sum,$count\r\n$comments\r\n";
    }
    foreach ($data['comments'] as $line)
        $text .= $line . "\r\n";
    return $text;
}

function gallery_read($path)
{
    $handle = @fopen($path, 'rb');
    if (!$handle)
        return null;
    flock($handle, LOCK_SH);
    $text = stream_get_contents($handle);
    flock($handle, LOCK_UN);
    fclose($handle);
    return gallery_parse($text, substr($path, -4) === '.cnt');
}

// Reads, changes and writes a file under one exclusive lock, so parallel
// requests never lose each other's changes.
function gallery_update($path, callable $change)
{
    $handle = @fopen($path, 'r+b');
    if (!$handle)
        return false;
    flock($handle, LOCK_EX);
    $data = gallery_parse(stream_get_contents($handle), substr($path, -4) === '.cnt');
    $result = $change($data);
    if ($result !== false) {
        ftruncate($handle, 0);
        rewind($handle);
        fwrite($handle, gallery_format($data));
        fflush($handle);
    }
    flock($handle, LOCK_UN);
    fclose($handle);
    return $result !== false;
}

function gallery_decode($line)
{
    $record = json_decode((string)base64_decode($line, true), true);
    return is_array($record) ? $record : null;
}

function gallery_encode($record)
{
    return base64_encode(json_encode($record, JSON_INVALID_UTF8_SUBSTITUTE | JSON_PARTIAL_OUTPUT_ON_ERROR));
}

// Posted texts are CP1252 like the pages; JSON keeps them as Latin-1 code points.
function gallery_field($name)
{
    $value = $_POST[$name] ?? '';
    return is_string($value) ? trim($value) : '';
}

function gallery_comment_from_post()
{
    $settings = gallery_settings();
    if (!$settings['open'] || ($_POST['st'] ?? '') !== 'msg')
        return null;
    $user = gallery_field('user');
    $message = gallery_field('com');
    if ($user === '' || $message === '' || strlen($message) > $settings['maxlength'] || strlen($user) > 200)
        return null;
    $page = gallery_field('page');
    if ($page === 'http://' || !preg_match('#^https?://[^\s"\'<>]+$#iD', $page))
        $page = '';
    return [
        'id' => bin2hex(random_bytes(8)),
        'time' => time(),
        'user' => utf8_encode_cp($user),
        'email' => utf8_encode_cp(substr(gallery_field('email'), 0, 200)),
        'page' => utf8_encode_cp(substr($page, 0, 300)),
        'com' => utf8_encode_cp($message),
    ];
}

function utf8_encode_cp($text)
{
    return mb_check($text) ? $text : iconv('Windows-1252', 'UTF-8//IGNORE', $text);
}

function utf8_decode_cp($text)
{
    $out = @iconv('UTF-8', 'Windows-1252//TRANSLIT', (string)$text);
    return $out === false ? '' : $out;
}

// True for pure ASCII, which needs no conversion either way.
function mb_check($text)
{
    return !preg_match('/[\x80-\xFF]/', $text);
}

function gallery_add_comment($path, $record)
{
    return gallery_update($path, function (&$data) use ($record) {
        $data['comments'][] = gallery_encode($record);
        if ($data['counts'] !== null)
            $data['counts'][3]++;
    });
}

function gallery_show_comments($path)
{
    $data = gallery_read($path);
    if (!$data)
        return;
    foreach (array_reverse($data['comments']) as $line) {
        $c = gallery_decode($line);
        if (!$c)
            continue;
        $name = gallery_html(utf8_decode_cp($c['user'] ?? ''));
        if (($c['page'] ?? '') !== '')
            $name = '<a href="' . gallery_html(utf8_decode_cp($c['page'])) . '" rel="nofollow" target=_blank>' . $name . '</a>';
        echo '<table width=550 border=0><tr><td><font class=tx><b>', $name, '</b> ',
            gallery_html(date('d.m.Y H:i', (int)($c['time'] ?? 0))), '<br>',
            nl2br(gallery_html(utf8_decode_cp($c['com'] ?? ''))), "</font><hr size=1></td></tr></table>\r\n";
    }
}

function gallery_average($counts)
{
    return $counts[2] > 0 ? $counts[1] / $counts[2] : 0.0;
}

function gallery_thumbnail($number)
{
    return is_file(GALLERY_DIR . "/th_$number.gif") ? "th_$number.gif" : "th_$number.jpg";
}

// Every counter file with its picture number and counts.
function gallery_pictures()
{
    $pictures = [];
    foreach (glob(GALLERY_DIR . '/th_*.cnt') ?: [] as $path) {
        if (!preg_match('/th_([0-9]{1,6})\.cnt$/D', $path, $m))
            continue;
        $data = gallery_read($path);
        if ($data)
            $pictures[] = ['number' => (int)$m[1], 'counts' => $data['counts']];
    }
    usort($pictures, function ($a, $b) { return $a['number'] <=> $b['number']; });
    return $pictures;
}

function gallery_admin_session()
{
    if (session_status() !== PHP_SESSION_ACTIVE) {
        session_name('galleryadmin');
        session_start(['cookie_httponly' => true, 'cookie_samesite' => 'Strict', 'use_strict_mode' => true]);
    }
}

// The session holds only that its owner gave the password, never the password.
function gallery_admin_login($password)
{
    gallery_admin_session();
    $known = gallery_settings()['password'];
    if ($known === '' || !is_string($password) || !hash_equals($known, $password))
        return false;
    session_regenerate_id(true);
    $_SESSION['gallery'] = GALLERY_DIR;
    $_SESSION['token'] = bin2hex(random_bytes(16));
    return true;
}

function gallery_admin()
{
    gallery_admin_session();
    return ($_SESSION['gallery'] ?? '') === GALLERY_DIR;
}

// Changes come only by POST with the session's token.
function gallery_admin_change_allowed()
{
    return gallery_admin() && $_SERVER['REQUEST_METHOD'] === 'POST' &&
        hash_equals($_SESSION['token'] ?? '', (string)($_POST['token'] ?? ''));
}

function gallery_token_field()
{
    return '<input type=hidden name=token value="' . gallery_html($_SESSION['token'] ?? '') . '">';
}

function gallery_admin_page_head($title)
{
    gallery_admin_session();
    header('Content-Type: text/html; charset=windows-1252');
    header('Cache-Control: no-store');
    echo "<html><head><title>", gallery_html($title), "</title></head><body style=\"font-family:Verdana\">\r\n",
        "<img src=vt_logo.jpg><h3>", gallery_html($title), "</h3>\r\n";
}

function gallery_refuse($code, $text)
{
    http_response_code($code);
    echo '<p>', gallery_html($text), '</p></body></html>';
    exit;
}
}
