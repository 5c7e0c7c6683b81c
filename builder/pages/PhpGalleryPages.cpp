#include "builder/pages/PhpGalleryPages.h"

#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"
#include "platform/core/TStringList.h"
#include "shared/veskotools.h"

namespace {

constexpr const char* CRLF = "\r\n";

constexpr const char* CommentForm =
    "<center><table width=550 border=0><tr><td valign=top><font class=tx>Name*</font><br>"
    "<input type=text size=20 name=user><br><font class=tx>E-Mail</font><br>"
    "<input type=text size=20 name=email><br><font class=tx>Homepage</font><br>"
    "<input type=text size=20 name=page value=http://><br></td><td width=70% valign=top> "
    "<font class=tx>Message*</font><br> <textarea name=com cols=40 rows=6></textarea></td>"
    "<td colspan=2><input type=hidden name=st value=\"msg\">"
    "<input type=image src=sub2.jpg alt=\"submit\" align=right onclick=\"return check_form()\">"
    "</td></tr></table><br></center></form><p>";

constexpr const char* CommentsHeading = "<hr size=1><font class=tx><b>Comments</font></b>";

std::string Counter(int pictureNumber) { return "th_" + IntToStr(pictureNumber) + ".cnt"; }

std::string LinesText(const std::string& text)
{
    TStringList lines;
    lines.SetText(text);
    return lines.Text();
}

}  // namespace

const std::vector<TPhpCopy> PhpByteCopies = {
    {"eye.gif", "eye.gif"},           {"mail.gif", "mail.gif"},
    {"vote.gif", "vote.gif"},         {"sub2.jpg", "sub2.jpg"},
    {"votesubmit.gif", "votesubmit.gif"}, {"com.gif", "com.gif"},
    {"vt_logo.jpg", "vt_logo.jpg"},   {"admin.sc", "admin.php"},
    {"comedit.php", "comedit.php"},   {"comeditsave.php", "comeditsave.php"},
    {"comeditdel.php", "comeditdel.php"}, {"setup.php", "setup.php"},
    {"picturesetup.php", "picturesetup.php"}, {"admin.jpg", "admin.jpg"},
    {"htaccess.sc", ".htaccess"},
};

std::string_view PhpPageStart()
{
    return "<?php header('Content-Type: text/html; charset=windows-1252'); ?>";
}

std::string PhpTemplateText(const std::string& templates, const std::string& name)
{
    TStringList lines;
    lines.LoadFromFile(templates + name);
    return lines.Text();
}

std::string BuildPhpFunctions(const std::string& templates, bool php, bool viewCount, bool voting,
                              bool pictureComments, bool /*mailPicture*/)
{
    if (!php)
        return {};
    std::string text;
    if (viewCount)
        text += PhpTemplateText(templates, "vesko.sc");
    if (voting)
        text += PhpTemplateText(templates, "vote.sc");
    if (pictureComments)
        text += PhpTemplateText(templates, "com_count.sc");
    return text;
}

std::string LoadFullPictureScript(const std::string& templates) { return PhpTemplateText(templates, "full.sc"); }

std::string PhpChartLinks(const TPhpOptions& options)
{
    std::string text;
    if (options.ChartViews)
        text += "<font class=tx><a href=chartview.php>Top 10 (Views) <img src=eye.gif border=0></a> </font>";
    if (options.ChartVotes)
        text += "<font class=tx> <a href=chartvote.php>Top 10 (Votes) <img src=vote.gif border=0></a></font>";
    return text;
}

std::vector<TPageFile> PhpChartPages(const TPhpOptions& options, const std::string& templates,
                                     const std::string& indexHead)
{
    std::vector<TPageFile> pages;
    const auto add = [&](const char* name, const char* chart) {
        const std::string text =
            std::string(PhpPageStart()) + indexHead + PhpTemplateText(templates, chart) + "</table></body></html>";
        pages.push_back({name, LinesText(text), false});
    };
    if (options.ChartViews)
        add("chartview.php", "chart_view.sc");
    if (options.ChartVotes)
        add("chartvote.php", "chart_vote.sc");
    return pages;
}

std::string PhpCellBar(const TPhpOptions& options, int pictureNumber, bool gif, const std::string& extension,
                       const std::string& newWindowTarget)
{
    if (!options.ViewCount && !options.Voting && !options.PictureComments && !options.MailPicture)
        return {};
    const std::string counter = Counter(pictureNumber);
    std::string text = "<p><font class=pi>| ";
    if (options.ViewCount)
        text += "<img src=eye.gif alt=\"Views\"> <?php @vesko(\"" + counter + "\")?> | ";
    if (options.Voting)
        text += "<img src=vote.gif alt=\"Voting\"> <?php @vote(\"" + counter + "\")?>  | ";
    if (options.PictureComments)
        text += "<img src=com.gif alt=\"your comment\"> <?php @com_count(\"" + counter + "\")?> | ";
    if (options.MailPicture) {
        text += "<a href=th_" + IntToStr(pictureNumber) + "_big." + extension + " " + newWindowTarget;
        text += gif ? "><img src=mail.gif alt=\"send a image via e-Mail\" border=0></a> | "
                    : "><img src=mail.gif alt=\"send a image via e-mail\" border=0></a> | ";
    }
    return text + "</font><br>";
}

std::string PhpGalleryPageEnd(const TPhpOptions& options, const std::string& templates, int pageNumber)
{
    std::string text;
    if (options.GalleryComments) {
        text += CRLF + PhpTemplateText(templates, "gcom.sc") + CRLF;
        text += std::string(CommentsHeading) + CRLF + PhpTemplateText(templates, "js_gcom.sc") + CRLF;
        text += std::string("<?php @add_gmsg(); ?>") + CRLF;
        text += "<form action=page" + IntToStr(pageNumber) + ".php method=POST>" + CommentForm +
                "<?php @read_gmsg(\"gcom.ctx\"); ?>";
    }
    return text + "<p><a href=admin.php><img src=admin.jpg border=0></a>" + CRLF;
}

std::string PhpFullPageScript(const std::string& templates, int pictureNumber)
{
    const std::string counter = Counter(pictureNumber);
    return CRLF + LoadFullPictureScript(templates) + CRLF + "<?php if (!$_POST) { @check(\"" + counter +
           "\");} else {@vote(\"" + counter + "\"); @add_msg(\"" + counter + "\"); } ?>" + CRLF;
}

std::string PhpFullPageFeatures(const TPhpOptions& options, const std::string& templates, int pictureNumber,
                                bool gif)
{
    const std::string n = IntToStr(pictureNumber);
    const std::string counter = Counter(pictureNumber);
    std::string text;
    if (options.MailPicture)
        text += CRLF + PhpTemplateText(templates, "js_pop.sc") + CRLF;
    const std::string views =
        options.ChartViews ? "<a href=chartview.php>Top10 <img src=eye.gif border=0 alt=\"Top 10 Views\"></a>" : "";
    const std::string votes =
        options.ChartVotes ? "<a href=chartvote.php>Top10 <img src=vote.gif border=0 alt=\"Top 10 Voting\"> </a>"
                           : "";
    text += "<font class=tx><br>" + views + " | " + votes;
    if (options.MailPicture) {
        text += " |<a href=\"Javascript:pop('mailpicture.php?pic=th_" + n + (gif ? ".gif" : ".jpg") +
                "')\"> Send picture <img src=mail.gif border=0 alt=\"E-Mail\"></a>";
    }
    text += "<p></font>";
    if (options.Voting) {
        text += "<font class=tx><?php @vote_erg(\"" + counter + "\",\"users have given a average vote of: \"); ?>";
        text += "<p><b>Your Voting: </b><form action=th_" + n + "_big.php method=POST>";
        text += "|1<input type=radio name=vote value=1 checked>|2<input type=radio name=vote value=2>"
                "|3<input type=radio name=vote value=3>|4<input type=radio name=vote value=4>"
                "|5<input type=radio name=vote value=5>|6<input type=radio name=vote value=6>"
                "&#160;<input type=hidden name=st value=\"vote\"><input type=image src=votesubmit.gif>"
                "</form></font>";
    }
    if (options.PictureComments) {
        const std::string script = PhpTemplateText(templates, options.Voting ? "js_com.sc" : "js_gcom.sc");
        text += std::string(CommentsHeading) + CRLF + script + CRLF + "<form action=th_" + n +
                "_big.php method=POST>" + CommentForm + "<?php @read_msg(\"" + counter + "\"); ?>";
    }
    return text + "<p><center><a href=admin.php?d=th_" + n + (gif ? ".gif" : ".jpg") +
           "><img src=admin.jpg border=0></a></center>";
}

std::string PhpInlineText(std::string_view text)
{
    // "<?" would open PHP code, with short tags on even alone: its "?" follows
    // an empty block. That block ends in front of the "?", never in front of a
    // line end, which PHP would take away with its closing tag.
    std::string written;
    written.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        written += text[at];
        if (text[at] == '<' && at + 1 < text.size() && text[at + 1] == '?')
            written += "<?php ?>";
    }
    return written;
}

std::string PhpStringEscaped(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '"' || c == '$')
            escaped += '\\';
        // A line end would break the saved lines and the mail's subject header.
        escaped += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return escaped;
}

std::string MailPictureSendText(const std::string& templateText, const std::string& galleryHeading)
{
    std::string text = templateText;
    ReplaceText("mail(\"$email\",\"\",\"\",$headers);",
                "mail(\"$email\",\"" + PhpStringEscaped(galleryHeading) + " | Galeriebild\",\"\",$headers);", text, 0);
    return LinesText(text);
}

std::vector<TPageFile> PhpMailPages(const TPhpOptions& options, const std::string& templates,
                                    const std::string& galleryHeading)
{
    if (!options.MailPicture) {
        // Written all the same: the mail pages of an earlier build, in the
        // folder and on the server, are replaced by pages that refuse.
        const std::string off = ReadFileBytes(templates + "switchedoff.sc");
        return {{"mailpicture.php", off}, {"mailpicturesend.php", off}};
    }
    return {{"mailpicture.php", ReadFileBytes(templates + "mailpicture.php")},
            {"mailpicturesend.php",
             MailPictureSendText(ReadFileBytes(templates + "mailpicturesend.sc"), galleryHeading)}};
}

std::string PasswordFileText(const std::string& password, const std::string& email)
{
    std::string text;
    for (const std::string& line : {std::string("<?php /*"), password, email, std::string("yes"),
                                    std::string("10000"), std::string("*/ ?>"),
                                    std::string("<html><frameset cols=100%,*><frame src=admin.php name=admin>"
                                                "</frameset></html>")})
        text += line + CRLF;
    return text;
}

std::string_view FreshCounterFileText() { return "0\r\n0,0\r\n0\r\n"; }
