#pragma once
// The kinds of placed objects the editor registers when it is created.

namespace vendrel {

class TEditor;

void RegisterBuiltInKinds(TEditor& Editor);

} // namespace vendrel
