#pragma once
// Materials and the sources that hold them.
//
// A TMaterial is a value: what a triangle is drawn with. Colour materials are unlit (the colour as it
// is), light materials are lit by the scene's lights (ambient, diffuse, specular with shininess, plus
// emissive, clamped per channel), texture materials show their image unlit. A light material may
// carry a texture, which then takes the place of the diffuse colour and tints the clamped lit colour:
// in full light the image shows its own colours. A material's alpha and the drawing opacity multiply.
//
// A material source is a component that holds one material and tells its clients when the material
// changes and when the source is freed. Meshes hold their source without owning it.

#include "platform/core/bitmap.h"
#include "platform/core/component.h"

#include <memory>
#include <vector>

namespace vendrel {

enum class TMaterialKind : uint8_t { mkColor, mkLight, mkTexture };

struct TMaterial {
    TMaterialKind Kind = TMaterialKind::mkLight;
    TAlphaColor Color = TAlphaColors::White; // colour materials
    TAlphaColor Diffuse = 0xFFA0A0A0;        // light materials
    TAlphaColor Ambient = 0xFF202020;
    TAlphaColor Emissive = TAlphaColors::Null;
    TAlphaColor Specular = 0xFF606060;
    int Shininess = 30;
    // The image of texture materials and textured light materials; nullptr for none. Shared and
    // immutable: a change of texture installs a new image.
    std::shared_ptr<const TBitmap> Texture;

    bool IsLit() const { return Kind == TMaterialKind::mkLight; }
};

class TMaterialSource;

// What a user of a material source is told.
class IMaterialClient {
public:
    virtual ~IMaterialClient() = default;
    virtual void MaterialChanged(TMaterialSource* Source) = 0;
    // The source is being freed; the client drops its link.
    virtual void MaterialFreed(TMaterialSource* Source) = 0;
};

class TMaterialSource : public TComponent {
public:
    explicit TMaterialSource(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    ~TMaterialSource() override;

    const TMaterial& Material() const { return FMaterial; }
    // The material of a source, or the default material for a missing one.
    static const TMaterial& ValidMaterial(const TMaterialSource* Source);

    void AddClient(IMaterialClient* Client);
    void RemoveClient(IMaterialClient* Client);
    int ClientCount() const { return static_cast<int>(FClients.size()); }

protected:
    // Stores the material and tells every client.
    void SetMaterial(const TMaterial& Value);

private:
    TMaterial FMaterial;
    std::vector<IMaterialClient*> FClients; // not owned
};

// An unlit plain colour.
class TColorMaterialSource : public TMaterialSource {
public:
    explicit TColorMaterialSource(TComponent* AOwner = nullptr);
    TAlphaColor Color() const { return Material().Color; }
    void SetColor(TAlphaColor Value);
};

// A lit material with an optional texture.
class TLightMaterialSource : public TMaterialSource {
public:
    explicit TLightMaterialSource(TComponent* AOwner = nullptr);
    TAlphaColor Diffuse() const { return Material().Diffuse; }
    TAlphaColor Ambient() const { return Material().Ambient; }
    TAlphaColor Emissive() const { return Material().Emissive; }
    TAlphaColor Specular() const { return Material().Specular; }
    int Shininess() const { return Material().Shininess; }
    void SetDiffuse(TAlphaColor Value);
    void SetAmbient(TAlphaColor Value);
    void SetEmissive(TAlphaColor Value);
    void SetSpecular(TAlphaColor Value);
    void SetShininess(int Value);
    // The texture image (empty: none).
    const TBitmap& Texture() const;
    void SetTexture(const TBitmap& Value);
    void SetTexture(TBitmap&& Value);
};

// An unlit image.
class TTextureMaterialSource : public TMaterialSource {
public:
    explicit TTextureMaterialSource(TComponent* AOwner = nullptr);
    const TBitmap& Texture() const;
    void SetTexture(const TBitmap& Value);
    void SetTexture(TBitmap&& Value);
};

} // namespace vendrel
