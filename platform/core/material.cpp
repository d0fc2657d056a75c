#include "platform/core/material.h"

#include <algorithm>
#include <utility>

namespace vendrel {

namespace {
const TBitmap& emptyBitmap() {
    static const TBitmap empty;
    return empty;
}
std::shared_ptr<const TBitmap> shareTexture(const TBitmap& b) {
    return b.IsEmpty() ? nullptr : std::make_shared<const TBitmap>(b);
}
std::shared_ptr<const TBitmap> shareTexture(TBitmap&& b) {
    return b.IsEmpty() ? nullptr : std::make_shared<const TBitmap>(std::move(b));
}
} // namespace

TMaterialSource::~TMaterialSource() {
    std::vector<IMaterialClient*> clients;
    clients.swap(FClients);
    for (IMaterialClient* c : clients) {
        c->MaterialFreed(this);
    }
}

const TMaterial& TMaterialSource::ValidMaterial(const TMaterialSource* Source) {
    static const TMaterial defaultMaterial;
    return Source != nullptr ? Source->FMaterial : defaultMaterial;
}

void TMaterialSource::AddClient(IMaterialClient* Client) {
    if (std::find(FClients.begin(), FClients.end(), Client) == FClients.end()) {
        FClients.push_back(Client);
    }
}

void TMaterialSource::RemoveClient(IMaterialClient* Client) {
    FClients.erase(std::remove(FClients.begin(), FClients.end(), Client), FClients.end());
}

void TMaterialSource::SetMaterial(const TMaterial& Value) {
    FMaterial = Value;
    // A client may unregister while being told.
    const std::vector<IMaterialClient*> clients = FClients;
    for (IMaterialClient* c : clients) {
        if (std::find(FClients.begin(), FClients.end(), c) != FClients.end()) {
            c->MaterialChanged(this);
        }
    }
}

TColorMaterialSource::TColorMaterialSource(TComponent* AOwner) : TMaterialSource(AOwner) {
    TMaterial m;
    m.Kind = TMaterialKind::mkColor;
    SetMaterial(m);
}

void TColorMaterialSource::SetColor(TAlphaColor Value) {
    if (Value == Material().Color) {
        return;
    }
    TMaterial m = Material();
    m.Color = Value;
    SetMaterial(m);
}

TLightMaterialSource::TLightMaterialSource(TComponent* AOwner) : TMaterialSource(AOwner) {}

#define VENDREL_LIGHT_SETTER(Name, Type)                                                                     \
    void TLightMaterialSource::Set##Name(Type Value) {                                                       \
        if (Value == Material().Name) {                                                                      \
            return;                                                                                          \
        }                                                                                                    \
        TMaterial m = Material();                                                                            \
        m.Name = Value;                                                                                      \
        SetMaterial(m);                                                                                      \
    }
VENDREL_LIGHT_SETTER(Diffuse, TAlphaColor)
VENDREL_LIGHT_SETTER(Ambient, TAlphaColor)
VENDREL_LIGHT_SETTER(Emissive, TAlphaColor)
VENDREL_LIGHT_SETTER(Specular, TAlphaColor)
VENDREL_LIGHT_SETTER(Shininess, int)
#undef VENDREL_LIGHT_SETTER

const TBitmap& TLightMaterialSource::Texture() const {
    return Material().Texture ? *Material().Texture : emptyBitmap();
}

void TLightMaterialSource::SetTexture(const TBitmap& Value) {
    TMaterial m = Material();
    m.Texture = shareTexture(Value);
    SetMaterial(m);
}

void TLightMaterialSource::SetTexture(TBitmap&& Value) {
    TMaterial m = Material();
    m.Texture = shareTexture(std::move(Value));
    SetMaterial(m);
}

TTextureMaterialSource::TTextureMaterialSource(TComponent* AOwner) : TMaterialSource(AOwner) {
    TMaterial m;
    m.Kind = TMaterialKind::mkTexture;
    SetMaterial(m);
}

const TBitmap& TTextureMaterialSource::Texture() const {
    return Material().Texture ? *Material().Texture : emptyBitmap();
}

void TTextureMaterialSource::SetTexture(const TBitmap& Value) {
    TMaterial m = Material();
    m.Texture = shareTexture(Value);
    SetMaterial(m);
}

void TTextureMaterialSource::SetTexture(TBitmap&& Value) {
    TMaterial m = Material();
    m.Texture = shareTexture(std::move(Value));
    SetMaterial(m);
}

} // namespace vendrel
