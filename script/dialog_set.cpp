#include "script/dialog_set.h"
#include "script/script_state.h"

#include <array>

namespace vorkat {
namespace {

constexpr std::array<std::u16string_view, 12> kNames = {
    u"dlgID",     u"ExtractedFromAddr", u"OldDlgSize",       u"NewDlgSize",    u"DoPointerChange", u"NewDlgAddr",
    u"OldPtrHEX", u"NewPtrHEX",         u"PtrsAddrListFile", u"PtrsAddrZones", u"dlgComments",     u"dlgText",
};

}  // namespace

DialogAttr DialogAttrByName(std::u16string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i)
    if (kNames[i] == name) return static_cast<DialogAttr>(i);
  return DialogAttr::Unknown;
}

std::u16string* DialogAttrField(DialogRecord& r, DialogAttr attr) {
  switch (attr) {
    case DialogAttr::dlgID: return &r.dlgID;
    case DialogAttr::ExtractedFromAddr: return &r.ExtractedFromAddr;
    case DialogAttr::OldDlgSize: return &r.OldDlgSize;
    case DialogAttr::NewDlgSize: return &r.NewDlgSize;
    case DialogAttr::DoPointerChange: return &r.DoPointerChange;
    case DialogAttr::NewDlgAddr: return &r.NewDlgAddr;
    case DialogAttr::OldPtrHEX: return &r.OldPtrHEX;
    case DialogAttr::NewPtrHEX: return &r.NewPtrHEX;
    case DialogAttr::PtrsAddrListFile: return &r.PtrsAddrListFile;
    case DialogAttr::PtrsAddrZones: return &r.PtrsAddrZones;
    case DialogAttr::dlgComments: return &r.dlgComments;
    case DialogAttr::dlgText: return &r.dlgText;
    case DialogAttr::Unknown: break;
  }
  return nullptr;
}

const std::u16string* DialogAttrField(const DialogRecord& r, DialogAttr attr) {
  return DialogAttrField(const_cast<DialogRecord&>(r), attr);
}

}  // namespace vorkat
