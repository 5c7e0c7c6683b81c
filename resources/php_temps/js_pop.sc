<script type="text/javascript">
function pop(address) {
  window.open(address, 'mailpicture', 'width=460,height=380,resizable=yes,scrollbars=yes');
}
</script>
