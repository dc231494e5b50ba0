// Help texts of the variable functions, by topic ("@name").
#pragma once

struct FunctionHelp {
  const char16_t* topic;
  const char16_t* text;
};

extern const FunctionHelp FunctionHelpTexts[];
extern const int FunctionHelpCount;
