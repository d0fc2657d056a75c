#include "editor/kinds/builtin_kinds.h"

#include "editor/editor.h"
#include "editor/kinds/cabinet_kind.h"
#include "editor/kinds/line_array_kind.h"
#include "editor/kinds/mic_kind.h"
#include "editor/kinds/model_only_kinds.h"
#include "editor/kinds/ornament_kind.h"
#include "editor/kinds/zone_kind.h"

#include <memory>

namespace vendrel {

void RegisterBuiltInKinds(TEditor& Editor) {
    TKindRegistry& kinds = Editor.Kinds;
    kinds.Register(std::make_unique<TCabinetKind>(Editor));
    kinds.Register(std::make_unique<TZoneKind>(Editor));
    kinds.Register(std::make_unique<TLineArrayKind>(Editor));
    kinds.Register(std::make_unique<TOrnamentKind>(Editor));
    RegisterModelOnlyKinds(Editor, kinds);
    kinds.Register(std::make_unique<TMicKind>(Editor));
}

} // namespace vendrel
