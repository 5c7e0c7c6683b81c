// The rows of both languages. Non-ASCII letters are CP1252 bytes:
// \xC4 \xD6 \xDC \xE4 \xF6 \xFC \xDF for the umlauts and sharp s. The
// spellings of the shipped program are kept as its users know them.

#include "builder/language/LanguageTable.h"

#include <array>

namespace {

constexpr std::string_view ProductName = "VESKO THUMBNAILS";

constexpr auto German = std::to_array<TLanguageRow>({
    // Start screen.
    {"TVM", ProductName},
    {"TVM.Image1", {}, "TVM.Image2"},

    // Navigation words of the generated pages.
    {"NavIndexText", "Index"},
    {"NavGalleryText", "Galerie"},
    {"NavNextText", "Weiter"},
    {"NavBackText", "Zur\xFC" "ck"},
    {"NavPicturesText", "Bilder"},

    // Picture buttons of the wizard.
    {"TForm1.Image25", {}, "TForm1.Image41"},
    {"TForm1.Image26", {}, "TForm1.Image42"},
    {"TForm1.Image27", {}, "TForm1.Image43"},
    {"TForm1.Image21", {}, "TForm1.Image45"},
    {"TForm1.Image22", {}, "TForm1.Image46"},
    {"TForm1.Image23", {}, "TForm1.Image47"},
    {"TForm1.Image28", {}, "TForm1.Image48"},
    {"TForm1.Image29", {}, "TForm1.Image48"},
    {"TForm1.Image30", {}, "TForm1.Image48"},

    // Link mode.
    {"TForm1.ComboBox1[0]", "Link zum Originalbild (Einzelansicht)"},
    {"TForm1.ComboBox1[1]", "Kein Link - nur Galerie"},

    // Menu.
    {"TForm1.Gallery1", "Datei"},
    {"TForm1.Save1", "Speichern Galerie-Einstellungen"},
    {"TForm1.Load1", "Laden Galerie Einstellungen"},
    {"TForm1.Exit1", "Beenden"},
    {"TForm1.BackToAssist1", "Zur\xFC" "ck zum Assistenten"},

    // Pages.
    {"TForm1.TabSheet1", "Bilder zusammenstellen"},
    {"TForm1.TabSheet2", "Galerie erstellen"},
    {"TForm1.TabSheet4", "Text / HTML - Zusatz"},
    {"TForm1.TabSheet5", "E-Mail Galerie"},
    {"TForm1.TabSheet6", "Vorschaubilder erstellen"},
    {"TForm1.TabSheet7", "Bilder-Programm erstellen"},
    {"TForm1.TabSheet8", "PDF Galerie"},
    {"TForm1.TabSheet9", "Galerie Verkn\xFCpfungen (Anleitung)"},

    // Pictures page.
    {"TForm1.Label16", "Bilderliste"},
    {"TForm1.Label34", "Kommentar zum Bild.."},

    // Gallery page.
    {"TForm1.Label3", "Vorschaubilder"},
    {"TForm1.Label4", "H\xF6he"},
    {"TForm1.Label5", "Breite"},
    {"TForm1.Label6", "% Relativ zur Originalgr\xF6\xDF" "e"},
    {"TForm1.Label7", "Verlinkung"},
    {"TForm1.Label11", "Kommentare"},
    {"TForm1.Label12", "Gestaltung"},
    {"TForm1.Label13", "\xDC" "berschrift"},
    {"TForm1.Label14", "Bilder je Zeile"},
    {"TForm1.Label15", "Max. Zeilen je Seite"},
    {"TForm1.Label23", "Fortschritt"},
    {"TForm1.Label24", "Slide Show   in Sek:"},
    {"TForm1.Label25", "Zum Erstellen:"},
    {"TForm1.Label26", "Start klicken"},
    {"TForm1.Label27", "Internet optimiert"},
    {"TForm1.Label28", "Verlinken nach Seite:"},
    {"TForm1.Label29", "Galerie"},
    {"TForm1.Label32", "Vollbild"},
    {"TForm1.Label64", "Wasserzeichen-PlugIn"},
    {"TForm1.Label65", "PlugIn-Starten"},
    {"TForm1.Label66", "In Vollbilder"},
    {"TForm1.Label67", "In Thumbnails"},

    // Extra-texts page.
    {"TForm1.Label17", "Texte und HTML f\xFCr Ihre Seiten"},
    {"TForm1.Label18", "\xDC" "ber der \xDC" "berschrift"},
    {"TForm1.Label19", "Unter der \xDC" "berschrift"},
    {"TForm1.Label20", "Unter der Galerie"},
    {"TForm1.Label21", "Texte einf\xFCgen in"},

    // E-mail page.
    {"TForm1.Label37", "Vorschaubilder"},
    {"TForm1.Label38", "% Relativ zur Originalgr\xF6\xDF" "e"},
    {"TForm1.Label39", "Schriften und Farben"},
    {"TForm1.Label40", "H\xF6he"},
    {"TForm1.Label41", "Breite"},
    {"TForm1.Label42", "\xDC" "berschrift"},
    {"TForm1.Label43", "Bilder je Zeile"},
    {"TForm1.Label44", "Kommentare"},

    // Thumbnails page.
    {"TForm1.Label1", "Vorschaubilder"},
    {"TForm1.Label9", "% Relativ zur Originalgr\xF6\xDF" "e"},
    {"TForm1.Label31", "H\xF6he"},
    {"TForm1.Label10", "Breite"},
    {"TForm1.Label63", "Speichern mit Original-Dateinamen der Bilderliste.."},
    {"TForm1.Label45", "Fortschritt"},

    // Picture-application page.
    {"TForm1.Label46", "Bilder"},
    {"TForm1.Label47", "H\xF6he"},
    {"TForm1.Label48", "Breite"},
    {"TForm1.Label49", "KB"},
    {"TForm1.Label51", "Werte einstellen.."},
    {"TForm1.Label53", "Urheberbemerkungen zu den Fotos: (Anzeige beim Programmstart)"},
    {"TForm1.Label54", "Aus Datei laden.."},
    {"TForm1.Label50", "Fortschritt"},

    // PDF page.
    {"TForm1.Label55", "Bilder"},
    {"TForm1.RadioButton13", "Bilder automatisch komprimieren nach flg. Regeln:"},
    {"TForm1.RadioButton14", "Keine Komprimierung"},
    {"TForm1.Label56", "H\xF6he"},
    {"TForm1.Label57", "Breite"},
    {"TForm1.Label59", "KB"},
    {"TForm1.Label58", "Einstellungen.."},
    {"TForm1.Label60", "Autor der Galerie"},
    {"TForm1.Label61", "Titel:"},
    {"TForm1.Label62", "Datum:"},

    // Gallery-kind dialog.
    {"TForm21.Label1", "W\xE4hlen Sie die Art der Galerie, welche erstellt werden soll.."},
    {"TForm21.RadioButton2", "HTML Galerie"},
    {"TForm21.RadioButton1", "PHP Galerie"},
    {"TForm21.Label2", "Grundfunktionen"},
    {"TForm21.Label5", "Charts"},
    {"TForm21.Label6", "Kommentare"},
    {"TForm21.CheckBox1", "Dererivur"},
    {"TForm21.CheckBox3", "Einzelbild"},
    {"TForm21.CheckBox7", "Galerie"},
    {"TForm21.Label3", "Ihr Admin-Passwort soll lauten:"},
    {"TForm21.Label4", "Ihre E-Mailadresse:"},
    {"TForm21.BitBtn1", "Weiter"},
    {"TForm21.BitBtn2", "Abbruch"},
    {"TForm21.Memo1", {}, "TVM.Memo14"},
    {"TForm21.Memo2", "Erstellt eine \"normale\" klassische Bildergalerie - ohne zus\xE4tzliche Funktionen\r\n"
                      "der PHP Galerie und ohne besondere Anforderungen an Ihren Server."},

    // Other dialogs.
    {"TForm20.Label1", "Die Galerie ist nun erstellt."},
    {"TForm20.Label2", "M\xF6" "chten Sie die PDF anzeigen?"},
    {"TForm13.Label1", "Im angegebenen Verzeichnis wurde eine Galerie gefunden. \xDC" "berschreiben?"},
    {"TForm13.BitBtn1", "Ja"},
    {"TForm13.BitBtn2", "Nein"},
    {"TForm8.Label1", "Einstellungen sichern?"},
    {"TForm11.Memo1", "Vollbilder, die gr\xF6\xDF" "er als diese Grenzen sind, werden verkleinert, und ihre "
                      "JPEG-Qualit\xE4t wird gesenkt, bis die Datei in die Grenze der Dateigr\xF6\xDF" "e passt."},
    {"TForm2.BitBtn1", "Neuer Ordner.."},
    {"TForm6.BitBtn1", "Bild laden"},
    {"TForm6.BitBtn2", "L\xF6schen"},
    {"TForm7.BitBtn1", "Schriftfarbe"},
    {"TForm7.BitBtn2", "Hintergrundfarbe"},
    {"TForm7.Label2", "Gr\xF6\xDF" "e \xDC" "berschrift"},
    {"TForm7.Label3", "Gr\xF6\xDF" "e Bildbeschreibung"},
    {"TForm7.Label4", "Gr\xF6\xDF" "e Zusatztext und Links"},
    {"TForm7.Label5", "Farben"},
    {"TForm7.Label7", "Vorschau"},
    {"TForm7.ComboBox1", "Schriftarten"},
    {"TForm9.Label1", "Ihr Hinweis:"},
    {"TForm9.Memo1", "Vermerken Sie Ihren Copyright Hinweis auf den Originalbildern. Z.B. Ihre Webseite oder "
                     "Ihren Namen."},
});

constexpr auto English = std::to_array<TLanguageRow>({
    // Start screen.
    {"TVM", ProductName},
    {"TVM.Image1", {}, "TVM.Image3"},

    // Navigation words of the generated pages.
    {"NavIndexText", "Index"},
    {"NavGalleryText", "Gallery"},
    {"NavNextText", "Next"},
    {"NavBackText", "Back"},
    {"NavPicturesText", "Pictures"},

    // Picture buttons of the wizard.
    {"TForm1.Image25", {}, "TForm1.Image32"},
    {"TForm1.Image26", {}, "TForm1.Image33"},
    {"TForm1.Image27", {}, "TForm1.Image34"},
    {"TForm1.Image21", {}, "TForm1.Image36"},
    {"TForm1.Image22", {}, "TForm1.Image37"},
    {"TForm1.Image23", {}, "TForm1.Image38"},
    {"TForm1.Image28", {}, "TForm1.Image39"},
    {"TForm1.Image29", {}, "TForm1.Image39"},
    {"TForm1.Image30", {}, "TForm1.Image39"},

    // Link mode.
    {"TForm1.ComboBox1[0]", "Link To Original Picture"},
    {"TForm1.ComboBox1[1]", "No Link - Only Gallery"},

    // Menu.
    {"TForm1.Gallery1", "File"},
    {"TForm1.Save1", "Save Gallery Settings"},
    {"TForm1.Load1", "Load Gallery Settings"},
    {"TForm1.Exit1", "Exit"},
    {"TForm1.BackToAssist1", "Back To Assistant"},

    // Pages.
    {"TForm1.TabSheet1", "Compose a picture list"},
    {"TForm1.TabSheet2", "Create a gallery"},
    {"TForm1.TabSheet4", "TEXT/HTML addition"},
    {"TForm1.TabSheet5", "Create E-Mail Gallery"},
    {"TForm1.TabSheet6", "Create Thumbnails"},
    {"TForm1.TabSheet7", "Create Picture Application"},
    {"TForm1.TabSheet8", "PDF Gallery"},
    {"TForm1.TabSheet9", "Gallery links (instructions)"},

    // Pictures page.
    {"TForm1.Label16", "Picture-List"},
    {"TForm1.Label34", "Comment on a picture"},

    // Gallery page.
    {"TForm1.Label3", "Thumbnails"},
    {"TForm1.Label4", "Height"},
    {"TForm1.Label5", "Width"},
    {"TForm1.Label6", "% Relative From Originalsize"},
    {"TForm1.Label7", "Link"},
    {"TForm1.Label11", "Comments"},
    {"TForm1.Label12", "Design"},
    {"TForm1.Label13", "Heading"},
    {"TForm1.Label14", "picture per line"},
    {"TForm1.Label15", "Max. picture per line"},
    {"TForm1.Label23", "Progress"},
    {"TForm1.Label24", "Slide Show    in Sec:"},
    {"TForm1.Label25", "To create:"},
    {"TForm1.Label26", "click Start"},
    {"TForm1.Label27", "Internet optimized"},
    {"TForm1.Label28", "Http link to page:"},
    {"TForm1.Label29", "Gallery"},
    {"TForm1.Label32", "Full screen"},
    {"TForm1.Label64", "Watermark plug-in"},
    {"TForm1.Label65", "Start plug in"},
    {"TForm1.Label66", "in full screens"},
    {"TForm1.Label67", "in thumbnails"},

    // Extra-texts page.
    {"TForm1.Label17", "Texts and HTML for your pages"},
    {"TForm1.Label18", "Over the heading"},
    {"TForm1.Label19", "Under the heading"},
    {"TForm1.Label20", "Under the gallery"},
    {"TForm1.Label21", "Insert the texts into"},

    // E-mail page.
    {"TForm1.Label37", "Thumbnails"},
    {"TForm1.Label38", "% Relative From Originalsize"},
    {"TForm1.Label39", "Fonts and colours"},
    {"TForm1.Label40", "Height"},
    {"TForm1.Label41", "Width"},
    {"TForm1.Label42", "Heading"},
    {"TForm1.Label43", "picture per line"},
    {"TForm1.Label44", "Comments"},

    // Thumbnails page.
    {"TForm1.Label1", "Thumbnails"},
    {"TForm1.Label9", "% Relative From Originalsize"},
    {"TForm1.Label31", "Height"},
    {"TForm1.Label10", "Width"},
    {"TForm1.Label63", "To save: use the original filenames from picture list.."},
    {"TForm1.Label45", "Progress"},

    // Picture-application page.
    {"TForm1.Label46", "Pictures"},
    {"TForm1.Label47", "Height"},
    {"TForm1.Label48", "Width"},
    {"TForm1.Label49", "KB"},
    {"TForm1.Label51", "Set values.."},
    {"TForm1.Label53", "Additional Licence Infos. (Confirm before start the application)"},
    {"TForm1.Label54", "Load from file.."},
    {"TForm1.Label50", "Progress"},

    // PDF page.
    {"TForm1.Label55", "Pictures"},
    {"TForm1.RadioButton13", "Compress the pictures automatically by these rules:"},
    {"TForm1.RadioButton14", "No compression"},
    {"TForm1.Label56", "Height"},
    {"TForm1.Label57", "Width"},
    {"TForm1.Label59", "KB"},
    {"TForm1.Label58", "Settings.."},
    {"TForm1.Label60", "Author of the gallery"},
    {"TForm1.Label61", "Title:"},
    {"TForm1.Label62", "Date:"},

    // Gallery-kind dialog.
    {"TForm21.Label1", "Choose your gallery type.."},
    {"TForm21.RadioButton2", "HTML Gallery"},
    {"TForm21.RadioButton1", "PHP Gallery"},
    {"TForm21.Label2", "Basic functions"},
    {"TForm21.Label5", "Charts"},
    {"TForm21.Label6", "Comments"},
    {"TForm21.CheckBox1", "Clicks"},
    {"TForm21.CheckBox3", "Images"},
    {"TForm21.CheckBox7", "Gallery"},
    {"TForm21.Label3", "Your admin password should be:"},
    {"TForm21.Label4", "Your e-mail"},
    {"TForm21.BitBtn1", "OK!"},
    {"TForm21.BitBtn2", "Chancel"},
    {"TForm21.Memo1", "A PHP gallery extends the functionality of your gallery by adding statistic and interactive "
                      "features.\r\n"
                      "Clicks: every full picture counts how often it was viewed.\r\n"
                      "Voting: your visitors give marks to your pictures.\r\n"
                      "Comments: your visitors write comments on single pictures and on the gallery.\r\n"
                      "E-Mail: your visitors send a full picture to an e-mail address.\r\n"
                      "Charts: top-10 lists of the most viewed and the best voted pictures.\r\n"
                      "Your web space must run PHP."},
    {"TForm21.Memo2", "Creates a \"normal\" classic photo gallery without additional features of a PHP gallery and "
                      "without special requirements to your server."},

    // Other dialogs.
    {"TForm20.Label1", "Gallery complete!"},
    {"TForm20.Label2", "Would you like view the pdf?"},
    {"TForm8.Label1", "Save Gallery Settings?"},
    {"TForm11.Label1", "MAX. Height (PIX)"},
    {"TForm11.Label2", "MAX. Width (PIX)"},
    {"TForm11.Label3", "MAX. File Size (KB)"},
    {"TForm11.Memo1", "Full pictures larger than these limits are made smaller, and their "
                      "JPEG quality is lowered until the file fits the size limit."},
    {"TForm2.BitBtn1", "Create New Folder"},
    {"TForm6.BitBtn1", "Load Picture"},
    {"TForm6.BitBtn2", "Clear"},
    {"TForm7.BitBtn1", "Font Color"},
    {"TForm7.BitBtn2", "Background"},
    {"TForm7.Label2", "Size Heading"},
    {"TForm7.Label3", "Size Picture Description"},
    {"TForm7.Label4", "Size Extendet Text And Links"},
    {"TForm7.Label5", "Colors"},
    {"TForm7.Label7", "Preview"},
    {"TForm7.ComboBox1", "Fonts"},
    {"TForm9.Label1", "Your Text:"},
    {"TForm9.Memo1", "add your copyright information to the original pictures, e.g. your web page or your name"},
});

}  // namespace

std::span<const TLanguageRow> LanguageRows(std::string_view lang)
{
    if (lang == "ger")
        return German;
    if (lang == "eng")
        return English;
    return {};
}
