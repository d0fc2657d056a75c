#include "editor/qt/kind_pages.h"

#include "editor/qt/object_pages.h"

#include <memory>

namespace vendrel {

// Defined in each kind's page file.
std::unique_ptr<TKindPage> MakeCabinetPage(TObjectPages& Pages);
std::unique_ptr<TKindPage> MakeZonePage(TObjectPages& Pages);
std::unique_ptr<TKindPage> MakeOrnamentPage(TObjectPages& Pages);
std::unique_ptr<TKindPage> MakeMicPage(TObjectPages& Pages);
std::unique_ptr<TKindPage> MakeLineArrayPage(TObjectPages& Pages);

void RegisterBuiltInPages(TObjectPages& Pages) {
    Pages.Register(MakeZonePage(Pages));
    Pages.Register(MakeOrnamentPage(Pages));
    Pages.Register(MakeCabinetPage(Pages));
    Pages.Register(MakeMicPage(Pages));
    Pages.Register(MakeLineArrayPage(Pages));
}

} // namespace vendrel
