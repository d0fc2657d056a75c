#include "files/dxf_document.h"

#include <utility>

#include "platform/core/numeric.h"

namespace vendrel {

TDxfBase::~TDxfBase() = default;

// ---- Table entries ----------------------------------------------------------------------------

std::string TDxfTableEntry::DisplayName() const {
    return EntryType;
}
std::string TDxfAppIdEntry::DisplayName() const {
    return AppData;
}
std::string TDxfBlockRecordEntry::DisplayName() const {
    return BlockName;
}
std::string TDxfDimStyleEntry::DisplayName() const {
    return Dim.StyleName;
}
std::string TDxfLayerEntry::DisplayName() const {
    return LayerName;
}
std::string TDxfLTypeEntry::DisplayName() const {
    return LineType;
}
std::string TDxfStyleEntry::DisplayName() const {
    return StyleName;
}
std::string TDxfUCSEntry::DisplayName() const {
    return UCSName;
}
std::string TDxfViewEntry::DisplayName() const {
    return ViewName;
}
std::string TDxfVPortEntry::DisplayName() const {
    return ViewName;
}

TDxfTable::TDxfTable() : SubClass("AcDbSymbolTable") {}

TDxfTable::~TDxfTable() = default;

int32_t TDxfTable::AddItem(std::unique_ptr<TDxfTableEntry> Entry) {
    if (!Entry) {
        return -1;
    }
    Entry->Owner_ = this;
    Items_.push_back(std::move(Entry));
    return CheckedCast<int32_t>(Items_.size() - 1);
}

TDxfTableEntry* TDxfTable::GetObject(int32_t i) const {
    if (i < 0 || static_cast<size_t>(i) >= Items_.size()) {
        return nullptr;
    }
    return Items_[static_cast<size_t>(i)].get();
}

int32_t TDxfTable::Count() const {
    return CheckedCast<int32_t>(Items_.size());
}

void TDxfTable::Clear() {
    Items_.clear();
}

// ---- Values -----------------------------------------------------------------------------------

TDxfValue* TDxfValuesList::AddValue(int32_t codeGroup, TDxfValueType t) {
    auto v = std::make_unique<TDxfValue>();
    v->cg = codeGroup;
    v->valType = t;
    values.push_back(std::move(v));
    return values.back().get();
}

TDxfValue* TDxfValuesList::AddStr(int32_t codeGroup, const std::string& s) {
    TDxfValue* v = AddValue(codeGroup, TDxfValueType::dvtStr);
    v->s = s;
    return v;
}

TDxfValue* TDxfValuesList::AddInt(int32_t codeGroup, int32_t i) {
    TDxfValue* v = AddValue(codeGroup, TDxfValueType::dvtInt);
    v->i = i;
    return v;
}

TDxfValue* TDxfValuesList::AddInt64(int32_t codeGroup, int64_t i) {
    TDxfValue* v = AddValue(codeGroup, TDxfValueType::dvtInt64);
    v->i64 = i;
    return v;
}

TDxfValue* TDxfValuesList::AddFloat(int32_t codeGroup, double f) {
    TDxfValue* v = AddValue(codeGroup, TDxfValueType::dvtFloat);
    v->f = f;
    return v;
}

int32_t TDxfValuesList::Count() const {
    return CheckedCast<int32_t>(values.size());
}

// ---- Entities ---------------------------------------------------------------------------------

TDxfEntity::TDxfEntity(std::string AEntityType) : EntityType(std::move(AEntityType)) {}

TDxfLine::TDxfLine(std::string AEntityType) : TDxfEntity(std::move(AEntityType)) {
    Subclass2 = "AcDbLine";
}

TDxfMText::TDxfMText(std::string AEntityType) : TDxfEntity(std::move(AEntityType)) {
    Subclass2 = "AcDbMText";
}

TDxfPolyLine::TDxfPolyLine(const std::string& PLineClass, std::string AEntityType)
    : TDxfEntity(std::move(AEntityType)), Extrusion{0.0, 0.0, 1.0} {
    Subclass2 = PLineClass;
}

TDxfVertex::TDxfVertex(std::string VtxClass, std::string AEntityType)
    : TDxfEntity(std::move(AEntityType)), SubClass3(std::move(VtxClass)) {
    Subclass2 = "AcDbVertex";
}

// ---- Blocks -----------------------------------------------------------------------------------

TDxfFileBlock::TDxfFileBlock() : _blockEnd(std::make_unique<TDxfBlockEnd>()) {}

void TDxfFileBlock::AddEntity(std::unique_ptr<TDxfEntity> Entity) {
    if (Entity) {
        _entities.push_back(std::move(Entity));
    }
}

// ---- Objects ----------------------------------------------------------------------------------

TDxfObject::TDxfObject(std::string AObjectType) : ObjectType(std::move(AObjectType)) {}

void TDxfDictionaryEntry::SetRef_(TDxfBase* Obj) {
    fRef = Obj;
    if (Obj != nullptr) {
        Obj->Owner_ = Owner_;
    }
}

TDxfDictionaryEntry* TDxfDictionaryBase::AddEntry() {
    Entries.push_back(std::make_unique<TDxfDictionaryEntry>(this));
    return Entries.back().get();
}

TDxfDictionaryEntry* TDxfDictionaryBase::AddEntry(const std::string& aid, const std::string& aowner) {
    TDxfDictionaryEntry* e = AddEntry();
    e->EntryName = aid;
    e->RefId = aowner;
    return e;
}

void TDxfDictionaryBase::Clear() {
    Entries.clear();
}

TDxfMLineStyle::TDxfMLineStyle(const std::string& /*AObjectType*/) : TDxfObject(std::string()) {}

TDxfMLineStyleEntry* TDxfMLineStyle::AddEntry() {
    Entries_.push_back(std::make_unique<TDxfMLineStyleEntry>());
    return Entries_.back().get();
}

void TDxfMLineStyle::Clear() {
    Entries_.clear();
}

int32_t TDxfMLineStyle::Count() const {
    return CheckedCast<int32_t>(Entries_.size());
}

TDxfTableStyle::TDxfTableStyle(const std::string& /*AObjectType*/) : TDxfObject(std::string()) {}

TDxfTableCell* TDxfTableStyle::AddCell() {
    Cells.push_back(std::make_unique<TDxfTableCell>());
    return Cells.back().get();
}

void TDxfTableStyle::Clear() {
    Cells.clear();
}

TDxfXRecord::TDxfXRecord(const std::string& /*AObjectType*/)
    : TDxfObject(std::string()), XRec(std::make_unique<TDxfValuesList>()) {}

// ---- The document -----------------------------------------------------------------------------

TDxfTable* TDxfFile::AddTable() {
    tables.push_back(std::make_unique<TDxfTable>());
    return tables.back().get();
}

TDxfFileBlock* TDxfFile::AddBlock() {
    blocks.push_back(std::make_unique<TDxfFileBlock>());
    return blocks.back().get();
}

TDxfClass* TDxfFile::AddClass() {
    classes.push_back(std::make_unique<TDxfClass>());
    return classes.back().get();
}

void TDxfFile::AddEntity(std::unique_ptr<TDxfEntity> Entity) {
    if (!Entity) {
        return;
    }
    Entity->Owner_ = nullptr;
    entities.push_back(std::move(Entity));
}

void TDxfFile::AddObject(std::unique_ptr<TDxfObject> Object) {
    if (Object) {
        objects.push_back(std::move(Object));
    }
}

void TDxfFile::Clear() {
    tables.clear();
    entities.clear();
}

} // namespace vendrel
