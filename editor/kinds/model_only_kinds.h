#pragma once
// The kinds whose panels and mouse handling are not built yet: line arrays, clusters, steered columns
// and measurement points read from files (see model_only_objects.h). They are selected by
// band, counted, moved by the arrow keys and by typed offsets, written back after a drag and removed
// like any kind; they take no press of their own. Each kind's own file replaces its entry here when
// its panel and mouse rows are built.

namespace vendrel {

class TKindRegistry;
class TEditor;

void RegisterModelOnlyKinds(TEditor& Editor, TKindRegistry& Kinds);

} // namespace vendrel
