#pragma once
// The page factories of the kinds the window shows (see object_pages.h); a new kind adds its factory's
// line in kind_pages.cpp.

namespace vendrel {

class TObjectPages;

void RegisterBuiltInPages(TObjectPages& Pages);

} // namespace vendrel
