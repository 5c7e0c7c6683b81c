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
    if (!$path || gallery_param($_POST, 'st') !== 'vote')
        return;
    $vote = gallery_param($_POST, 'vote');
    if (!gallery_page_offers('vote')) {
        gallery_tell_refusal(new GalleryRefused('This page takes no votes.', 403));
        return;
    }
    if (!preg_match('/^[1-6]$/D', $vote)) {
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
    if ($path)
        gallery_post_comment($path);
}

function vote_erg($name, $text)
{
    $path = gallery_counter_path($name);
    $data = $path ? gallery_read($path) : null;
    if (!$data)
        return;
    $counts = $data['counts'];
    echo gallery_html($text), '<b>', number_format(gallery_average($counts), 2), '</b> (',
        gallery_count_words((int)$counts[2], 'vote', 'votes'), ')';
}

function read_msg($name)
{
    $path = gallery_counter_path($name);
    if ($path)
        gallery_show_comments($path);
}
?>
