// The commands that reach outside the program: the ".001" association and the version check.

#include <shlobj.h>

#include "res/resource.h"
#include "settings/association_win32.h"
#include "ui/application_win32.h"
#include "ui/menu_items_win32.h"

namespace mendlet {

void Application::toggle_association() {
    const bool present = menu_checked(window_, IDM_ASSOCIATE);
    if (present) {
        if (!remove_association()) {
            message_box(window_, ASSOCIATION_ERROR, APP_CAPTION, MB_ICONERROR | MB_TOPMOST);
            return;
        }
    } else {
        // Without the program's own path there is nothing to open the files with.
        if (program_path_.empty()) return;
        switch (add_association(program_path_)) {
            case AssociationChange::refused:
                message_box(window_, ASSOCIATION_ERROR, APP_CAPTION, MB_ICONERROR | MB_TOPMOST);
                return;
            case AssociationChange::incomplete:
                return;
            case AssociationChange::done:
                break;
        }
    }
    set_menu_checked(window_, IDM_ASSOCIATE, !present);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

UpdateCheck Application::update_check(bool interactive) const {
    return UpdateCheck{update_server,
                       window_,
                       interactive,
                       {texts_.updater[0], texts_.updater[1], texts_.updater[2]},
                       message_box,
                       open_address};
}

}  // namespace mendlet
