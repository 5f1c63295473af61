// The four message boxes of the registration utility. None has an owner window.
#pragma once
#include <string>

namespace addovar {

extern const char* const kMessageCaption;  // "Orvante Pro"
extern const char* const kNotForDirectUseText;
extern const char* const kFailureText;
extern const char* const kSimulatorNotFoundText;
std::string TemplateMissingText(const std::string& templatePath);

void ShowNotForDirectUse();
void ShowFailure();
void ShowSimulatorNotFound();
void ShowTemplateMissing(const std::string& templatePath);

}  // namespace addovar
