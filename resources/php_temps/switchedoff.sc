<?php
// Written in place of a page whose option this gallery was built without: it
// refuses every request, so that no copy of the page from an earlier build,
// in the gallery's folder or on the server, still acts for the option.
http_response_code(403);
header('Content-Type: text/html; charset=windows-1252');
?>
<html><head><title>Not offered</title></head><body style="font-family:Verdana;font-size:12px">
<p>This gallery does not offer this page.</p></body></html>
