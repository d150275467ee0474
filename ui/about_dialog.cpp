// The About dialog: template 16149, the large name and version, OK and Escape.
#include "ui/about_dialog.h"

#include "platform/gdi.h"
#include "platform/window.h"
#include "plugin/globals.h"

namespace ui {
namespace {

using namespace platform;

// The font of the name and the version, made when the dialog opens and
// deleted when it closes. One About dialog is open at a time.
FontHandle g_about_font = nullptr;

void CentreOnOwner(WindowHandle dialog) {
  WindowHandle owner = GetOwner(dialog);
  if (!IsWindow(owner)) owner = DesktopWindow();
  const PixelRect o = GetWindowRect(owner);
  const PixelRect own = GetWindowRect(dialog);
  const int x = static_cast<int>((o.left + o.right) * 0.5 - own.Width() * 0.5);
  const int y = static_cast<int>((o.top + o.bottom) * 0.5 - own.Height() * 0.5);
  SetWindowPosition(dialog, x, y, true);
}

intptr_t AboutProc(WindowHandle dialog, uint32_t message, uintptr_t wparam, intptr_t) {
  switch (message) {
    case kMsgInitDialog: {
      CentreOnOwner(dialog);
      if (g_about_font != nullptr) DeleteFont(g_about_font);
      FontDesc desc;
      desc.height = 24;
      desc.weight = kWeightNormal;
      desc.charset = kCharsetShiftJis;
      desc.face = "Segoe UI";
      g_about_font = CreateFont(desc);
      const PluginGlobals* g = g_globals;
      WindowHandle product = GetDialogItem(dialog, kAboutProductId);
      WindowHandle version = GetDialogItem(dialog, kAboutVersionId);
      SetWindowText(product, g != nullptr ? g->product_name : "");
      SetWindowText(version, g != nullptr ? g->version_text : "");
      SetWindowFont(product, g_about_font);
      SetWindowFont(version, g_about_font);
      return 1;
    }
    case kMsgCommand: {
      const int id = CommandId(wparam);
      if (id == kIdOk || id == kIdCancel) {
        EndDialog(dialog, id);
        return 1;
      }
      return 0;
    }
    case kMsgDestroy:
      if (g_about_font != nullptr) DeleteFont(g_about_font);
      g_about_font = nullptr;
      return 0;
    default:
      return 0;
  }
}

}  // namespace

const DialogTemplate& AboutDialogTemplate() {
  static const DialogTemplate dialog = [] {
    DialogTemplate t;
    t.resource_id = kAboutTemplateId;
    t.title = "About Zolvane";
    t.font_face = "Segoe UI";
    t.font_points = 9;
    t.style = kStylePopup | kStyleCaption | kStyleModalFrame | kStyleSysMenu | kStyleVisible;
    t.width = 200;
    t.height = 100;
    t.items = {
        {kAboutProductId, kClassStatic, kStaticCenter, "", 10, 12, 180, 18},
        {kAboutVersionId, kClassStatic, kStaticCenter, "", 10, 34, 180, 18},
        {kAboutCreditId, kClassStatic, kStaticCenter, kAboutCreditLine, 10, 58, 180, 10},
        {kIdOk, kClassButton, kButtonDefPush | kStyleTabStop, "OK", 75, 78, 50, 14},
    };
    return t;
  }();
  return dialog;
}

intptr_t RunAboutDialog(WindowHandle owner) {
  return DialogBox(AboutDialogTemplate(), owner, AboutProc, 0);
}

}  // namespace ui
