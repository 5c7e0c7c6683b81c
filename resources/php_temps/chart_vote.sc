<?php require_once __DIR__ . '/setup.php';
$pictures = array_values(array_filter(gallery_pictures(), function ($p) { return $p['counts'][2] > 0; }));
usort($pictures, function ($a, $b) {
    return [gallery_average($b['counts']), $b['counts'][2], $a['number']] <=>
        [gallery_average($a['counts']), $a['counts'][2], $b['number']];
});
echo "<tr><td colspan=3><font class=tx><b>Top 10 (Votes)</b></font></td></tr>\r\n";
foreach (array_slice($pictures, 0, 10) as $rank => $p) {
    $n = $p['number'];
    echo '<tr><td><font class=tx>', $rank + 1, '.</font></td><td><a href=th_', $n, '_big.php><img src=',
        gallery_thumbnail($n), ' border=0></a></td><td><font class=tx>', number_format(gallery_average($p['counts']), 2),
        ' (', gallery_count_words((int)$p['counts'][2], 'vote', 'votes'), ")</font></td></tr>\r\n";
}
?>
<tr><td colspan=3><font class=tx><a href=start.html>Index</a></font></td></tr>
