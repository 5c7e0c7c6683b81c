<?php require_once __DIR__ . '/setup.php';
$pictures = gallery_pictures();
usort($pictures, function ($a, $b) { return [$b['counts'][0], $a['number']] <=> [$a['counts'][0], $b['number']]; });
echo "<tr><td colspan=3><font class=tx><b>Top 10 (Views)</b></font></td></tr>\r\n";
foreach (array_slice($pictures, 0, 10) as $rank => $p) {
    $n = $p['number'];
    echo '<tr><td><font class=tx>', $rank + 1, '.</font></td><td><a href=th_', $n, '_big.php><img src=',
        gallery_thumbnail($n), ' border=0></a></td><td><font class=tx>',
        gallery_count_words((int)$p['counts'][0], 'view', 'views'), "</font></td></tr>\r\n";
}
?>
<tr><td colspan=3><font class=tx><a href=start.html>Index</a></font></td></tr>
