// Texts and icons of the registration utility's message boxes.
#include "registration_messages.h"

#include <platform/user_interface.h>

namespace addovar {

const char* const kMessageCaption = "Orvante Pro";

const char* const kNotForDirectUseText =
    "Sorry, this utility is only designed to be launched by the the Orvante Pro installer/uninstaller!";

const char* const kFailureText = "Sorry, unable to configure your DLL.XML file.";

// Speaks of the uninstaller on install too; installers show it unchanged.
const char* const kSimulatorNotFoundText =
    "Sorry, it appears FSX-SE is not installed correctly, the registry is not pointing to the location of your fsx.exe "
    "file."
    "\r\n\r\n"
    "Before the Orvante Pro Uninstaller can configure your original dll.xml file you will need to correctly install "
    "Flight Simulator X or fix the FSX-SE registry entry."
    "\r\n\r\n"
    "(If you need assistance, please contact Vescor support.)";

std::string TemplateMissingText(const std::string& templatePath) {
  return "Sorry, unable to find this file:\r\n\r\n" + templatePath +
         "\r\n\r\nPlease make sure you have Orvante Pro correctly installed in the FSX folder!";
}

void ShowNotForDirectUse() {
  platform::MessageBoxU8(nullptr, kNotForDirectUseText, kMessageCaption, platform::kMbOk | platform::kMbIconWarning);
}

void ShowFailure() {
  platform::MessageBoxU8(nullptr, kFailureText, kMessageCaption, platform::kMbOk | platform::kMbIconInformation);
}

void ShowSimulatorNotFound() {
  platform::MessageBoxU8(nullptr, kSimulatorNotFoundText, kMessageCaption, platform::kMbOk | platform::kMbIconWarning);
}

void ShowTemplateMissing(const std::string& templatePath) {
  platform::MessageBoxU8(nullptr, TemplateMissingText(templatePath), kMessageCaption,
                         platform::kMbOk | platform::kMbIconWarning);
}

}  // namespace addovar
