#include "loaded_module.h"

#include <windows.h>

#include <stdexcept>

#include "vendor/vendor_names.h"

LoadedModule::LoadedModule() {
    ModuleLoadError error;
    std::optional<LoadedExports> loaded = LoadedExports::Load(DefaultModulePath(), error);
    if (!loaded) throw std::runtime_error(error.Describe());
    m_exports = std::move(*loaded);
}

LoadedModule::~LoadedModule() { Unload(); }

void LoadedModule::Unload() {
    m_exports.Unload();
    const vendor::LibraryNames& names = vendor::kLibraryNames;
    for (const wchar_t* name : {names.nvapi.wide, names.adl.wide, names.adlx.wide}) {
        HMODULE library = nullptr;
        while ((library = GetModuleHandleW(name)) != nullptr && FreeLibrary(library)) {
        }
    }
}
