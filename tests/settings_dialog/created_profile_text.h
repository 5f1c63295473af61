// The file the settings dialog writes for a profile created and linked to
// `model`, its master switch on and its minimum take-off length set to 2500,
// every other setting at its new-profile default.
#pragma once
#include <string>

inline std::string CreatedProfileText(const std::string& model) {
  return "[ORVANTE]\r\n"
         "MasterSwitch=1\r\nAppRwyOnGnd=1\r\nAppRwyInAir=1\r\nOnRunway=1\r\nRunwayEnd=1\r\nTaxiwayTakeOff=1\r\n"
         "InsufficientRwyLenOnGnd=1\r\nExtendedHoldingOnRwy=1\r\nAppShortRwyInAir=1\r\nTaxiwayLanding=1\r\n"
         "TakeOffFlapMonitor=1\r\nLandingDistRemain=1\r\nRTODistRemain=1\r\nLandingFlapMonitor=1\r\n"
         "ExcessiveApprSpeed=1\r\nExcessiveApprAngle=1\r\nUnstableApproach=1\r\nAltSettingAbove=1\r\n"
         "AltSettingBelow=1\r\nLongLanding=1\r\nCautionEnabled=1\r\nExcludeShortRwys=0\r\nAirbusSupprZone=1\r\n"
         "AnnunciateUnits=1\r\nShowAltSetMsg=0\r\nRepAltSetCallOut=1\r\n"
         "UnitsOfMeasure=1\r\n"
         "MinTakeOffLength=2500\r\nMinLandingLength=800\r\nTouchdownZoneLen=25\r\nExtHoldInitialTime=60\r\n"
         "ExtHoldRepeatTime=30\r\nMinTakeOffFlaps=1\r\nMinLandingFlaps=3\r\nMaxApproachSpeed=200\r\n"
         "UpperFlapGateAlert=950\r\nLowerFlapGateAlert=600\r\nTransitionAltitude=18000\r\nTransitionLevel=18000\r\n"
         "AltSetTolerance=0.05\r\nSoundSet=Default\r\nMasterVolume=5\r\nModel.0=" +
         model + "\r\n";
}
