// The plugin's user documentation: titles and usage texts of the two
// commands and the help text of each variable function.
#include "frame/help_texts.h"

#include "kelvo/texts.h"

const char16_t KelvoHelpTitle[] = u"KELVO:  Display or change plugin options.\n\n";

const char16_t KelvoUsageText[] =
    u"KELVO QUOTES:n SPACES:n DASH:n APOS:n | DEFAULTS\r\n\n"
    u"\tQUOTES:\t0 = no, 1 = &quot; always, 2* = best guess\n"
    u"\tSPACES:\t0 = no, 1 = &nbsp; always, 2* = best guess\n"
    u"\tDASH:\t0 = no, 1* = &mdash;\n"
    u"\tAPOS:\t0 = no, 1 = &#39;, 2 = &apos;, 3* = best guess  \n\n"
    u"If no options are specified, the current settings and plugin\n"
    u"version will be displayed.";

const char16_t ArrayTableHelpTitle[] =
    u"ARRAYTABLE:  Dump a 2-dimensional array to stdout as an HTML table.\n\n";

const char16_t ArrayTableUsageText[] =
    u"ARRAYTABLE /L:n /H:text /K:class /S:style arrayname\r\n\n"
    u"\t/L:  insert Line numbers\n"
    u"\t/H:  Header row\n"
    u"\t/K:  CSS class name for the TABLE tag\n"
    u"\t/S:  CSS style info for the TABLE tag\n\n"
    u"\t/CKn: /CSn:\tclass/style for column n TD tags\n"
    u"\t/LK:  /LS:  \tclass/style for line-number TD tags\n"
    u"\t/RKn: /RSn:\tclass/style for even- (0) or odd-row (1) TR tags  \n\n"
    u"The arrayname is required.  This command is only available in TCC v10.0\n"
    u"and later.";

const char16_t EntagHelp[] =
    u"@ENTAG[tag,string]\n\nEntitizes the string and wraps it in tags.  \n\n"
    u"  C:\\> echo %@entag[p,Short test.]\n  <p>Short test.</p>\n\n  C:\\>";

const char16_t DocTypeHelp[] =
    u"@DOCTYPE[n]\n\nReturns an HTML document type tag.  n may be:  \n\n"
    u"\t0   HTML 5 (default)\n\t1   HTML 4.01 strict\n\t2   HTML 4.01 transitional\n"
    u"\t16  XHTML 1.0 strict\n\t17  XHTML 1.0 transitional\n\n"
    u"  C:\\> echo %@doctype[]\n  <!DOCTYPE HTML>\n\n  C:\\>";

const char16_t DeentitizeHelp[] =
    u"@DEENTITIZE[string]\n\nRemoves HTML entities from the input string,  \n"
    u"substituting equivalent characters where\navailable.\n\n"
    u"  C:\\> echo %@deentitize[n+1 &gt; n]\n  n+1 > n\n\n  C:\\>";

const char16_t EntitizeHelp[] =
    u"@ENTITIZE[string]\n\nReplaces special characters with HTML entities and,  \n"
    u"as KELVO sets, uses typographic quotes, apostrophes,\n"
    u"non-breaking spaces and dashes.\n\n"
    u"  C:\\> echo %@entitize[\"Fish & Chips\" -- don't wait]\n"
    u"  &ldquo;Fish&nbsp;&amp; Chips&rdquo;&nbsp;&mdash; don&rsquo;t wait\n\n  C:\\>";

const char16_t HcommentHelp[] =
    u"@HCOMMENT[string]\n\nReturns string in an HTML comment.\n\n"
    u"  C:\\> echo %@hcomment[Hello, world.]  \n  <!-- Hello, world. -->\n\n  C:\\>";

const char16_t HexdecHelp[] =
    u"@HEXDEC[string]\n\nReturns string, replacing two-digit hex codes (preceded by  \n"
    u"percent signs) with the appropriate characters.\n\n"
    u"  C:\\> echo %@hexdec[This%%20is%%20a%%20test.]\n  This is a test.\n\n  C:\\>";

const char16_t HexencHelp[] =
    u"@HEXENC[string]\n\nReturns string, replacing all non-alphanumeric\n"
    u"characters except #$+-./:;=?@_ (or per variable  \nHEXENC_KEEP) with hex codes.\n\n"
    u"  C:\\> echo %@hexenc[This is a test.]\n  This%20is%20a%20test.\n\n  C:\\>";

const char16_t MakeEntityHelp[] =
    u"@MAKEENTITY[char]\n\nReturns an HTML entity.\n\n"
    u"   C:\\> echo %@makeentity[copy] %@makeentity[@]  \n   &copy; &#64;\n\n   C:\\>";

const char16_t TagHelp[] =
    u"@TAG[tag]\n\nReturns an HTML tag.\n\n  C:\\> echo %@tag[p]  \n  <p>\n\n  C:\\>";
