// The About box, "About Orvante": who made the unit, its version, and links
// to the maker's website, the online manual and the support forum.
#pragma once
#include "platform/dialog.h"

namespace orvante {

enum AboutBoxControl : int {
  kAboutMakerLabel = 4000,
  kAboutVersionLabel,
  kAboutWebsiteButton,
  kAboutManualButton,
  kAboutForumButton,
};

// Where the three buttons lead.
inline constexpr char kMakerWebsiteAddress[] = "https://www.vescor.example/";
inline constexpr char kOnlineManualAddress[] = "https://www.vescor.example/orvante/manual";
inline constexpr char kSupportForumAddress[] = "https://forum.vescor.example/";

// Result 1 when closed.
class AboutBox : public platform::Dialog {
 public:
  AboutBox();
  void Open() override;  // shows the module's version text
  void Command(int id) override;
  void CloseRequested() override { End(1); }
};

}  // namespace orvante
