<?php require_once __DIR__ . '/setup.php';
// A full-picture page counts its views, takes votes 1 to 6 and comments.
function check($name)
{
    $path = gallery_counter_path($name);
    if ($path)
        gallery_update($path, function (&$data) { $data['counts'][0]++; });
}

function vote($name)
{
    $path = gallery_counter_path($name);
    if (!$path || ($_POST['st'] ?? '') !== 'vote')
        return;
    $vote = $_POST['vote'] ?? '';
    if (!is_string($vote) || !preg_match('/^[1-6]$/D', $vote)) {
        echo '<p><font class=tx>Please vote with a number from 1 to 6.</font></p>';
        return;
    }
    gallery_update($path, function (&$data) use ($vote) {
        $data['counts'][1] += (int)$vote;
        $data['counts'][2]++;
    });
}

function add_msg($name)
{
    $path = gallery_counter_path($name);
    $record = $path ? gallery_comment_from_post() : null;
    if ($record)
        gallery_add_comment($path, $record);
}

function vote_erg($name, $text)
{
    $path = gallery_counter_path($name);
    $data = $path ? gallery_read($path) : null;
    if (!$data)
        return;
    $counts = $data['counts'];
    echo gallery_html($text), '<b>', number_format(gallery_average($counts), 2), '</b> (',
        (int)$counts[2], ' ', $counts[2] == 1 ? 'vote' : 'votes', ')';
}

function read_msg($name)
{
    $path = gallery_counter_path($name);
    if ($path)
        gallery_show_comments($path);
}
?>
