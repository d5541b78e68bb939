#include "export/materials.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/win32_wide.h"
#include "plugin/plugin_application.h"
#include "scene/scene_api.h"

namespace {

constexpr char kBaseName[] = "color";
constexpr double kDefaultGrey = 0.5;
// ProTexturePathGet's mode: resolve a texture's name to its full path.
constexpr int kTexturePathMode = 1;
// Material names are formatted into a buffer of this size and cut there.
constexpr std::size_t kMaterialNameSize = 1024;

// Where a surface's colour and texture come from: records the host filled here, or the caller's.
// It points into itself, so it stays where it was made.
struct MaterialSource {
    MaterialSource() = default;
    MaterialSource(const MaterialSource&) = delete;
    MaterialSource& operator=(const MaterialSource&) = delete;

    ProSurfaceAppearanceProps appearance = {};
    ProSurfaceTextureProps texture = {};
    const ProSurfaceAppearanceProps* appearanceUsed = nullptr;
    const ProSurfaceTextureProps* textureUsed = nullptr;
};

bool IsNamed(const ProSurfaceAppearanceProps& appearance) { return appearance.name[0] != 0; }

// The named appearance of item (null: the host's default) and its texture, when the host has
// both; the texture is asked only after a named appearance.
bool TakeNamedAppearance(ProModelitem* item, MaterialSource& source) {
    if (ProSurfaceAppearancepropsGet(item, &source.appearance) != PRO_TK_NO_ERROR ||
        !IsNamed(source.appearance)) {
        return false;
    }
    source.appearanceUsed = &source.appearance;
    if (ProSurfaceTexturepropsGet(item, &source.texture) == PRO_TK_NO_ERROR) {
        source.textureUsed = &source.texture;
    }
    return true;
}

void FindMaterialSource(ProGeomitem* surfaceItem, const ProSurfaceAppearanceProps* modelAppearance,
                        const ProSurfaceTextureProps* modelTexture, MaterialSource& source) {
    if (TakeNamedAppearance(surfaceItem, source)) return;
    if (modelAppearance != nullptr) {
        // The model's appearance counts whatever its name: the solid has one.
        source.appearanceUsed = modelAppearance;
        source.textureUsed = modelTexture;
        return;
    }
    TakeNamedAppearance(nullptr, source);
}

// The full path of a texture record's colour image as the host resolves it; empty when it
// cannot. The record's file name need not end within its field: it is cut to fit with its zero.
std::u16string ResolveTexturePath(const ProSurfaceTextureProps& texture) {
    char file[PRO_PATH_SIZE];
    std::memcpy(file, texture.color_map, sizeof file);
    file[PRO_PATH_SIZE - 1] = 0;
    ProPath wideFile = {};
    ProStringToWstring(wideFile, file);
    wideFile[PRO_PATH_SIZE - 1] = 0;
    int info = 0;  // the host's output; not read
    ProPath path = {};
    if (ProTexturePathGet(wideFile, kTexturePathMode, &info, path) != PRO_TK_NO_ERROR) {
        return std::u16string();
    }
    path[PRO_PATH_SIZE - 1] = 0;
    return std::u16string(path);
}

// The texture path as the renderer reads it: in the ANSI code page, whole (a path too long for
// a fixed buffer would be cut into another file's name).
std::string NarrowTexturePath(const std::u16string& path) {
    const int size = WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, Win32Wide(path.c_str()), -1,
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, Win32Wide(path.c_str()), -1,
                                            &narrow[0], size, nullptr, nullptr);
    narrow.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return narrow;
}

// The path to write for a key's texture: the host's full path for it when it resolves it again,
// else the path as the key holds it.
std::string TexturePathToWrite(const std::u16string& stored) {
    int info = 0;  // the host's output; not read
    ProPath resolved = {};
    if (ProTexturePathGet(stored.c_str(), kTexturePathMode, &info, resolved) == PRO_TK_NO_ERROR) {
        resolved[PRO_PATH_SIZE - 1] = 0;
        return NarrowTexturePath(resolved);
    }
    return NarrowTexturePath(stored);
}

void SetInt(trvScene_api& api, const char* name, int32_t value) {
    api.SetParameter(name, SceneValueType::Int, &value);
}

void SetBool(trvScene_api& api, const char* name, bool value) {
    const int32_t on = value ? 1 : 0;
    api.SetParameter(name, SceneValueType::Bool, &on);
}

void SetFloat(trvScene_api& api, const char* name, float value) {
    api.SetParameter(name, SceneValueType::Float, &value);
}

void SetFloat3(trvScene_api& api, const char* name, float x, float y, float z) {
    const float value[3] = {x, y, z};
    api.SetParameter(name, SceneValueType::Float3, value);
}

void SetDiffuseColour(trvScene_api& api, const MaterialKey& key) {
    SetFloat3(api, "diffuse", static_cast<float>(key.red), static_cast<float>(key.green),
              static_cast<float>(key.blue));
}

// Captures the "texture_rgb" shader of the image at path; answers its buffer, which the scene
// output may not give (null).
ShaderBuffer* CaptureTextureShader(trvScene_api& api, const std::string& path) {
    api.BeginShader(nullptr, "texture_rgb");
    SetInt(api, "project", 3);
    SetBool(api, "wrap", true);
    SetFloat3(api, "default_color", 0.0f, 0.0f, 0.0f);
    api.SetParameter("texture", SceneValueType::String, path.c_str());
    api.EndShader(1);
    // Asked after EndShader: the capture leaves the finished buffer current.
    return api.CurrentShaderBuffer();
}

// Opens the surface shader of a textured material: the colour, then the texture in its place.
void BeginTexturedShader(trvScene_api& api, const MaterialKey& key, ShaderBuffer* texture) {
    api.BeginShader(nullptr, "trv_advanced");
    SetDiffuseColour(api, key);
    SetFloat3(api, "specular", 0.0f, 0.0f, 0.0f);
    SetBool(api, "fresnel", true);
    SetFloat(api, "roughness", 0.0f);
    SetFloat(api, "ior", 1.5f);
    SetBool(api, "glossy", true);
    SetInt(api, "glossy_samples", 9);
    SetFloat(api, "alpha", 1.0f);
    api.SetShaderParameter("diffuse", texture);
}

void BeginPlainShader(trvScene_api& api, const MaterialKey& key) {
    api.BeginShader(nullptr, "trv_diffuse");
    SetDiffuseColour(api, key);
}

}  // namespace

MaterialKey GetSurfaceMaterialKey(const char* /*partName*/, ProGeomitem* surfaceItem,
                                  const ProAsmcomppath& /*componentPath*/,
                                  const ProSurfaceAppearanceProps* modelAppearance,
                                  const ProSurfaceTextureProps* modelTexture) {
    MaterialKey key;
    key.baseName = kBaseName;
    MaterialSource source;
    FindMaterialSource(surfaceItem, modelAppearance, modelTexture, source);
    if (source.appearanceUsed != nullptr) {
        const ProSurfaceAppearanceProps& appearance = *source.appearanceUsed;
        key.red = appearance.diffuse * appearance.color[0];
        key.green = appearance.diffuse * appearance.color[1];
        key.blue = appearance.diffuse * appearance.color[2];
    } else {
        key.red = key.green = key.blue = kDefaultGrey;
    }
    if (source.textureUsed != nullptr) key.texturePath = ResolveTexturePath(*source.textureUsed);
    return key;
}

int MaterialColourLevel(double component) {
    const double level = component * 255.0 + 0.5;
    if (!(level == level)) return 0;
    if (level >= 2147483648.0) return INT_MAX;
    if (level <= -2147483649.0) return INT_MIN;
    return static_cast<int>(level);  // truncation toward zero
}

std::string MaterialName(const char* partName, const MaterialKey& key, bool separate) {
    char name[kMaterialNameSize];
    const int r = MaterialColourLevel(key.red);
    const int g = MaterialColourLevel(key.green);
    const int b = MaterialColourLevel(key.blue);
    if (separate) {
        std::snprintf(name, sizeof name, "%s:%s:%d:%d:%d", partName, key.baseName.c_str(), r, g, b);
    } else {
        std::snprintf(name, sizeof name, "%s:%d:%d:%d", key.baseName.c_str(), r, g, b);
    }
    for (char* c = name; *c != 0; ++c) {
        *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    return name;
}

void PluginApplication::WriteMaterial(const char* partName, const MaterialKey& key) {
    trvScene_api& api = *sceneBuilder.GetSceneApi();
    api.BeginMaterial(MaterialName(partName, key, settings.separateMaterials).c_str(), true);
    ShaderBuffer* texture = nullptr;
    if (!key.texturePath.empty()) {
        texture = CaptureTextureShader(api, TexturePathToWrite(key.texturePath));
    }
    if (texture != nullptr) {
        BeginTexturedShader(api, key, texture);
    } else {
        BeginPlainShader(api, key);
    }
    ShaderBuffer* surface = api.CurrentShaderBuffer();  // before the shader closes
    api.EndShader(1);
    api.BindShader(static_cast<int>(ShaderKind::Surface), surface);
    api.EndMaterial();
}
