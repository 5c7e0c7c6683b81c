<script type="text/javascript">
// Name and message are needed before a comment is sent.
function check_form() {
  var text = document.getElementsByName('com');
  var form = text.length ? text[text.length - 1].form : null;
  if (!form) return true;
  if (form.user.value.replace(/\s/g, '') === '' || form.com.value.replace(/\s/g, '') === '') {
    alert('Please enter your name and a message.');
    return false;
  }
  return true;
}
</script>
