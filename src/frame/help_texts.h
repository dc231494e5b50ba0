// Help texts of the variable functions, each named by its function; the
// boundary's table of exports pairs each with its topic.
#pragma once

extern const char16_t DeentitizeHelp[];
extern const char16_t DocTypeHelp[];
extern const char16_t EntagHelp[];
extern const char16_t EntitizeHelp[];
extern const char16_t HcommentHelp[];
extern const char16_t HexdecHelp[];
extern const char16_t HexencHelp[];
extern const char16_t MakeEntityHelp[];
extern const char16_t TagHelp[];
