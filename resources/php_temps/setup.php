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
// - limits.php and addresses.php, made when first needed: what the limits
//   below count per visitor address, and the commenters' e-mail addresses.
//   Both start with a line of PHP that ends every request for them, so a
//   server hands out nothing of them; the others are served as they are and
//   hold nothing that the pages do not show.
// A comment line is base64 of a JSON object, so no text a visitor writes can
// break a line or the file.

if (!defined('GALLERY_DIR')) {
define('GALLERY_DIR', __DIR__);

// The limits of this gallery; a host owner changes them here. Counts are
// [how many, in how many seconds], per visitor address unless said.
define('GALLERY_LIMITS', [
    'mail_visitor' => [5, 3600],      // pictures one visitor may send by mail
    'mail_gallery' => [30, 86400],    // pictures the whole gallery sends by mail
    'comment_visitor' => [10, 600],   // comments one visitor may post
    'name_length' => 200,             // bytes of a commenter's name (the message's are in pa.php)
    'login_free' => 2,                // wrong passwords in a row that cost no wait
    'login_delay' => 1,               // seconds to wait after the next one, doubled with each one more
    'login_delay_most' => 60,         // the longest such wait
    'login_lock_after' => 10,         // wrong passwords in a row that lock the visitor's log-in
    'login_lock' => 900,              // seconds the lock lasts
]);

// The pages are Windows-1252 bytes; PHP would call them UTF-8.
ini_set('default_charset', 'windows-1252');
if (!headers_sent())
    header('Content-Type: text/html; charset=windows-1252');

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

// A request parameter as one string; anything else (an array) reads as "".
function gallery_param(array $from, $name)
{
    $value = $from[$name] ?? '';
    return is_string($value) ? $value : '';
}

// Posted text in the pages' Windows-1252. Browsers send that from these
// pages, but text that arrives in UTF-8 anyway is turned into it too.
function gallery_text($text)
{
    if (mb_check($text) || !preg_match('//u', $text))
        return $text;
    $out = @iconv('UTF-8', 'Windows-1252//TRANSLIT', $text);
    return $out === false ? '' : $out;
}

function gallery_field($name)
{
    return gallery_text(trim(gallery_param($_POST, $name)));
}

// The homepage of a comment: an http or https address, or nothing.
function gallery_homepage($page)
{
    return $page !== 'http://' && preg_match('#^https?://[^\s"\'<>]+$#iD', $page) ? $page : '';
}

// Whether this page's own text, or that of the gallery's page `name`, holds
// the form that posts `st`: the builder writes the storing calls into every
// full-picture page, but the forms only where the gallery offers votes or
// comments.
function gallery_page_offers($st, $name = null)
{
    $page = @file_get_contents($name === null ? (string)($_SERVER['SCRIPT_FILENAME'] ?? '') : GALLERY_DIR . '/' . $name);
    return is_string($page) && strpos($page, '<input type=hidden name=st value="' . $st . '">') !== false;
}

// What a visitor's request may not do, with the HTTP status that says so.
class GalleryRefused extends Exception
{
}

// The comment of this POST as a record; GalleryRefused tells why it is not taken.
function gallery_comment_from_post()
{
    $settings = gallery_settings();
    if (!gallery_page_offers('msg'))
        throw new GalleryRefused('This page takes no comments.', 403);
    if (!$settings['open'])
        throw new GalleryRefused('Comments are closed.', 403);
    $user = gallery_field('user');
    $message = gallery_field('com');
    $page = gallery_homepage(gallery_field('page'));
    $email = gallery_field('email');
    if ($user === '' || $message === '')
        throw new GalleryRefused('Please enter your name and a message.', 400);
    $limits = [
        [$message, $settings['maxlength'], 'Your message'],
        [$user, GALLERY_LIMITS['name_length'], 'Your name'],
        [$email, 200, 'Your e-mail address'],
        [$page, 300, 'Your homepage'],
    ];
    foreach ($limits as [$text, $most, $what])
        if (strlen($text) > $most)
            throw new GalleryRefused("$what has " . strlen($text) . " characters; at most $most are taken.", 400);
    if (gallery_take([['comment_visitor', gallery_visitor()]]) !== true)
        throw new GalleryRefused(gallery_limit_text('comment_visitor', 'comments from your address'), 429);
    return [
        'id' => bin2hex(random_bytes(8)),
        'time' => time(),
        'user' => utf8_encode_cp($user),
        'page' => utf8_encode_cp($page),
        'com' => utf8_encode_cp($message),
        'email' => $email,
    ];
}

// Stores the comment of this POST in `path`, or tells on the page why not;
// a refused comment's fields are filled into the form again.
function gallery_post_comment($path)
{
    if (gallery_param($_POST, 'st') !== 'msg')
        return;
    try {
        $record = gallery_comment_from_post();
    } catch (GalleryRefused $refused) {
        gallery_tell_refusal($refused);
        gallery_refill_comment_form();
        return;
    }
    $email = $record['email'];
    unset($record['email']);
    if (gallery_add_comment($path, $record) && $email !== '')
        gallery_set_address($record['id'], $email);
}

function gallery_tell_refusal(GalleryRefused $refused)
{
    if (!headers_sent())
        http_response_code($refused->getCode());
    echo '<p><font class=tx><b>', gallery_html($refused->getMessage()), "</b></font></p>\r\n";
}

function gallery_refill_comment_form()
{
    $typed = [];
    foreach (['user', 'email', 'page', 'com'] as $name)
        $typed[$name] = utf8_encode_cp(gallery_field($name));
    echo '<script type="text/javascript">window.addEventListener("load", function () {', "\r\n",
        '  var typed = ', json_encode($typed, JSON_HEX_TAG | JSON_HEX_AMP | JSON_HEX_APOS | JSON_HEX_QUOT |
                                      JSON_INVALID_UTF8_SUBSTITUTE), ";\r\n",
        '  var text = document.getElementsByName("com");', "\r\n",
        '  var form = text.length ? text[text.length - 1].form : null;', "\r\n",
        '  for (var name in typed) if (form && form.elements[name]) form.elements[name].defaultValue = form.elements[name].value = typed[name];', "\r\n",
        "});</script>\r\n";
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

// A file of this gallery that no server hands out: its first line ends the
// request, the rest is JSON. `change` gets the data under an exclusive lock
// and returns the result; null when the file cannot be kept.
function gallery_private_update($name, callable $change)
{
    $guard = "<?php exit; ?>\n";
    $handle = @fopen(GALLERY_DIR . '/' . $name, 'c+b');
    if (!$handle)
        return null;
    flock($handle, LOCK_EX);
    $data = json_decode((string)substr((string)stream_get_contents($handle), strlen($guard)), true);
    if (!is_array($data))
        $data = [];
    $before = $data;
    $result = $change($data);
    // A look that changes nothing (the admin reading an address) writes nothing.
    if ($data !== $before) {
        ftruncate($handle, 0);
        rewind($handle);
        fwrite($handle, $guard . json_encode($data, JSON_INVALID_UTF8_SUBSTITUTE));
        fflush($handle);
    }
    flock($handle, LOCK_UN);
    fclose($handle);
    return $result;
}

// The commenters' e-mail addresses, by comment id; the admin pages show them.
function gallery_address($id)
{
    $address = gallery_private_update('addresses.php', function (&$data) use ($id) { return $data[$id] ?? ''; });
    return utf8_decode_cp($address ?? '');
}

function gallery_set_address($id, $email)
{
    gallery_private_update('addresses.php', function (&$data) use ($id, $email) {
        if ($email === '')
            unset($data[$id]);
        else
            $data[$id] = utf8_encode_cp($email);
    });
}

// The visitor's address; IPv6 visitors by their /64 network, which one
// visitor usually has whole.
function gallery_visitor()
{
    $address = (string)($_SERVER['REMOTE_ADDR'] ?? '');
    $packed = @inet_pton($address);
    if ($packed !== false && strlen($packed) === 16)
        return bin2hex(substr($packed, 0, 8)) . '::/64';
    return $address;
}

// Takes one event for each [limit, key] when none of the limits is reached:
// true then, else the name of the limit reached (false when the limits
// cannot be kept, which takes nothing either).
function gallery_take(array $events)
{
    $now = time();
    return gallery_private_update('limits.php', function (&$data) use ($events, $now) {
        gallery_forget_old($data, $now);
        foreach ($events as [$limit, $key]) {
            $times = $data["$limit $key"]['times'] ?? [];
            if (count($times) >= GALLERY_LIMITS[$limit][0])
                return $limit;
        }
        foreach ($events as [$limit, $key]) {
            $entry = $data["$limit $key"] ?? ['times' => []];
            $entry['times'][] = $now;
            $entry['until'] = $now + GALLERY_LIMITS[$limit][1];
            $data["$limit $key"] = $entry;
        }
        return true;
    }) ?? false;
}

function gallery_forget_old(array &$data, $now)
{
    foreach ($data as $key => &$entry) {
        if (!is_array($entry) || (int)($entry['until'] ?? 0) <= $now) {
            unset($data[$key]);
            continue;
        }
        if (isset($entry['times'])) {
            $window = GALLERY_LIMITS[strtok($key, ' ')][1] ?? 0;
            $entry['times'] = array_values(array_filter((array)$entry['times'], function ($t) use ($now, $window) {
                return is_int($t) && $t > $now - $window;
            }));
        }
    }
}

function gallery_limit_text($limit, $what)
{
    [$count, $seconds] = GALLERY_LIMITS[$limit];
    return "The limit of $count $what in " . gallery_duration($seconds) . ' was reached; please try again later.';
}

function gallery_duration($seconds)
{
    foreach ([[86400, 'a day', 'days'], [3600, 'an hour', 'hours'], [60, 'a minute', 'minutes'],
              [1, 'a second', 'seconds']] as [$unit, $one, $many])
        if ($seconds % $unit === 0)
            return $seconds === $unit ? $one : intdiv($seconds, $unit) . " $many";
}

// "1 vote", "2 votes".
function gallery_count_words($count, $one, $many)
{
    return $count == 1 ? "1 $one" : "$count $many";
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

// The owner's session exists only after a right password: a visit without
// one, or with a cookie of no session of this gallery, leaves no session file.
// A request looks once: later looks come after the page has begun, where a
// host that does not buffer output has sent its headers.
function gallery_admin_session($open = false)
{
    static $looked = false;
    if (session_status() === PHP_SESSION_ACTIVE || ($looked && !$open))
        return;
    $looked = true;
    if (session_name() !== 'galleryadmin')
        session_name('galleryadmin');
    if (!$open && gallery_param($_COOKIE, 'galleryadmin') === '')
        return;
    session_start(['cookie_httponly' => true, 'cookie_samesite' => 'Strict', 'use_strict_mode' => true]);
    if (!$open && ($_SESSION['gallery'] ?? '') !== GALLERY_DIR)
        gallery_admin_end_session();
}

function gallery_admin_end_session()
{
    $_SESSION = [];
    session_destroy();
    setcookie('galleryadmin', '', ['expires' => 1, 'path' => '/', 'httponly' => true, 'samesite' => 'Strict']);
}

// Wrong passwords from one visitor address make it wait, longer with each
// one, and lock it for a while after too many. True for the right password,
// false for a wrong one; GalleryRefused while the visitor has to wait.
function gallery_admin_login($password)
{
    $known = gallery_settings()['password'];
    $now = microtime(true);
    $key = 'login ' . gallery_visitor();
    $state = gallery_private_update('limits.php', function (&$data) use ($password, $known, $now, $key) {
        gallery_forget_old($data, (int)$now);
        $entry = $data[$key] ?? ['failures' => 0, 'wait' => 0];
        if ($entry['wait'] > $now)
            return $entry;
        if ($known !== '' && hash_equals($known, $password)) {
            unset($data[$key]);
            return true;
        }
        $failures = $entry['failures'] + 1;
        $locked = $failures >= GALLERY_LIMITS['login_lock_after'];
        $wait = $locked ? GALLERY_LIMITS['login_lock'] :
            ($failures <= GALLERY_LIMITS['login_free'] ? 0 : min(GALLERY_LIMITS['login_delay'] *
                2 ** ($failures - GALLERY_LIMITS['login_free'] - 1), GALLERY_LIMITS['login_delay_most']));
        $data[$key] = $entry = ['failures' => $failures, 'wait' => $now + $wait, 'locked' => $locked,
                                'until' => (int)ceil($now + $wait) + GALLERY_LIMITS['login_lock']];
        return $locked ? $entry : false;
    });
    if ($state === null)
        throw new GalleryRefused('The gallery cannot keep its log-in limits: its folder cannot be written.', 503);
    if (is_array($state)) {
        $left = max(1, (int)ceil($state['wait'] - $now));
        $left = gallery_duration($left > 60 ? (int)ceil($left / 60) * 60 : $left);
        throw new GalleryRefused(!empty($state['locked']) ?
            "Log-in is locked after too many wrong passwords; please try again in $left." :
            "After a wrong password, please wait $left before the next try.", 429);
    }
    if (!$state)
        return false;
    gallery_admin_session(true);
    session_regenerate_id(true);
    // The session holds only that its owner gave the password, never the password.
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
        hash_equals($_SESSION['token'] ?? '', gallery_param($_POST, 'token'));
}

function gallery_token_field()
{
    return '<input type=hidden name=token value="' . gallery_html($_SESSION['token'] ?? '') . '">';
}

// The admin pages learn their status only after their head: their output is
// held until the end, so the status is sent also where PHP buffers nothing.
function gallery_admin_page_head($title)
{
    gallery_admin_session();
    header('Cache-Control: no-store');
    ob_start();
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
