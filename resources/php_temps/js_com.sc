<script type="text/javascript">
// The page also holds the voting form: the comment form is the one with a message field.
function check_form() {
  var text = document.getElementsByName('com');
  var form = text.length ? text[0].form : null;
  if (!form) return true;
  if (form.user.value.replace(/\s/g, '') === '' || form.com.value.replace(/\s/g, '') === '') {
    alert('Please enter your name and a message.');
    return false;
  }
  return true;
}
</script>
