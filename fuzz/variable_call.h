// A fuzz case's call of a variable function, made twice: once with the
// case's own units after the terminator and once with other junk there.
// Both calls must give the same result, text and messages, so a function
// that reads past its text's terminator is caught even where the address
// sanitizer cannot see it (inside the 16384-unit buffer). A case may also
// leave the buffer unterminated, with the memory after it poisoned.
#pragma once

#include <cstddef>
#include <cstdint>

#include "function_call.h"
#include "harness.h"
#include "models.h"

FunctionCall CallTwice(ExportedFunction function, const FuzzCase& c);

// The checks every variable function shares. A function that makes the
// Unicode-output check must refuse exactly when the host reports Unicode
// output, with its message, and leave the buffer as it was; one that does
// not must never return -2. Returns true when the call was refused (the
// caller then has nothing more to check).
bool CheckUnicodeRefusal(const FuzzCase& c, const FunctionCall& call, bool makesCheck);

// A refusal with a message of the function's own: result -1, the message
// after the error prefix, the buffer untouched.
void CheckRejected(const FuzzCase& c, const FunctionCall& call, const char16_t* message);

// The call against its model: the model's refusal, or success with the
// model's text and no message.
void CheckOutcome(const FuzzCase& c, const FunctionCall& call, const ModelOutcome& expected, const char* what);

// The whole of a variable function's fuzz target: parses the case, calls
// the function twice, checks the Unicode-output refusal (a function that
// makes the check refuses exactly when it should) and, unless the call was
// refused that way, hands it to check. Returns 0, as libFuzzer wants.
using CallCheck = void (*)(const FuzzCase& c, const FunctionCall& call);
int FuzzVariableFunction(const uint8_t* data, size_t size, ExportedFunction function, bool makesCheck,
                         CallCheck check);
