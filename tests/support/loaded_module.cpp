#include "loaded_module.h"

#include <stdexcept>

LoadedModule::LoadedModule() {
    ModuleLoadError error;
    std::optional<LoadedExports> loaded = LoadedExports::Load(DefaultModulePath(), error);
    if (!loaded) throw std::runtime_error(error.Describe());
    m_exports = std::move(*loaded);
}
