#include "SpiHost.h"

#include "DibConverter.h"
#include "Paths.h"

#include <dirent.h>
#include <dlfcn.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lumidex {

namespace {

std::atomic<SpiHost*> activeHost{nullptr};

// A plug-in may report any number of types; past this many it is taken as broken.
constexpr int kMaxTypesPerPlugin = 64;
constexpr int kTextBuffer = 128;
constexpr int32_t kMacBinaryOffset = 128;

bool EndsWithSpi(const std::string& name) {
    return name.size() > 4 && paths::UpperKey(name.substr(name.size() - 4)) == ".SPI";
}

std::vector<std::string> SpiNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir))
        if (EndsWithSpi(e->d_name)) names.emplace_back(e->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end()); // std::string compares bytewise
    return names;
}

template <typename F> F Export(void* module, const char* name) {
    return reinterpret_cast<F>(::dlsym(module, name));
}

// One text of GetPluginInfo, terminated whatever the plug-in wrote or returned.
std::string PluginText(SpiGetPluginInfo info, int number) {
    char buffer[kTextBuffer] = {};
    int written = info(number, buffer, kTextBuffer);
    if (written <= 0) return {};
    buffer[kTextBuffer - 1] = '\0';
    return std::string(buffer, ::strnlen(buffer, kTextBuffer));
}

// Frees a plug-in's memory handle on every way out.
struct HandleFree {
    void operator()(void* p) const { std::free(p); }
};
using Handle = std::unique_ptr<void, HandleFree>;

} // namespace

TSpi_plugin::~TSpi_plugin() {
    // Unlink iteratively: a long chain must not recurse through every destructor.
    while (next)
        next = std::move(next->next);
    if (module) ::dlclose(module);
}

SpiHost::~SpiHost() {
    SpiHost* self = this;
    activeHost.compare_exchange_strong(self, nullptr);
}

void SpiHost::LoadFolder(const std::string& folder) {
    std::lock_guard<std::mutex> turn(lock_); // no read may run on a library being unloaded
    chosen_ = nullptr;
    chain_.reset();
    folder_ = folder.empty() ? std::string() : paths::WithTrailingDelimiter(folder);
    if (folder_.empty()) return;
    TSpi_plugin* last = nullptr;
    for (const std::string& name : SpiNames(folder_)) {
        void* module = ::dlopen((folder_ + name).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) continue;
        auto plugin = std::make_unique<TSpi_plugin>();
        plugin->module = module;
        plugin->name = name;
        plugin->IsSupported = Export<SpiIsSupported>(module, "IsSupported");
        plugin->GetPictureInfo = Export<SpiGetPictureInfo>(module, "GetPictureInfo");
        plugin->GetPicture = Export<SpiGetPicture>(module, "GetPicture");
        plugin->GetPreview = Export<SpiGetPreview>(module, "GetPreview");
        plugin->GetArchiveInfo = Export<SpiGetArchiveInfo>(module, "GetArchiveInfo");
        plugin->GetFile = Export<SpiGetFile>(module, "GetFile");
        plugin->GetPluginInfo = Export<SpiGetPluginInfo>(module, "GetPluginInfo");
        if (!plugin->IsSupported || !plugin->GetPicture) continue; // unloaded by the record
        // A plug-in stays mapped once it is one: its libraries may keep state (decoder
        // registries, thread-local data, exit handlers) that would point into unmapped code.
        if (void* pinned =
                ::dlopen((folder_ + name).c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE))
            ::dlclose(pinned);
        TSpi_plugin* added = plugin.get();
        if (last)
            last->next = std::move(plugin);
        else
            chain_ = std::move(plugin);
        last = added;
    }
}

int SpiHost::ListTypes(std::vector<SpiFileType>& list) {
    int count = 0;
    for (TSpi_plugin* p = chain_.get(); p; p = p->next.get()) {
        if (!p->GetPluginInfo) continue;
        for (int k = 0; k < kMaxTypesPerPlugin; ++k) {
            std::string pattern = PluginText(p->GetPluginInfo, 2 * k + 2);
            if (pattern.empty()) break;
            list.push_back({std::move(pattern), PluginText(p->GetPluginInfo, 2 * k + 3)});
            ++count;
        }
    }
    return count;
}

bool SpiHost::SelectPlugin(const std::string& path) {
    path_ = path;
    extension_ = paths::UpperKey(paths::Extension(path));
    chosen_ = nullptr;
    if (extension_ == ".BMP") return true;
    unsigned char header[SPI_HEADER_BYTES] = {};
    if (std::FILE* f = std::fopen(path.c_str(), "rbe")) {
        (void)std::fread(header, 1, sizeof header, f);
        std::fclose(f);
    }
    for (TSpi_plugin* p = chain_.get(); p; p = p->next.get()) {
        // Each plug-in gets its own copy: one may scribble on what it is shown.
        unsigned char copy[SPI_HEADER_BYTES];
        std::memcpy(copy, header, sizeof copy);
        if (p->IsSupported(path.c_str(), copy)) {
            chosen_ = p;
            return true;
        }
    }
    return false;
}

SpiRead SpiHost::ReadSelected(QImage& picture) {
    picture = QImage();
    TSpi_plugin* p = chosen_;
    if (!p || !p->GetPictureInfo) return SpiRead::Failed;
    const char* path = path_.c_str();

    SpiPictureInfo info;
    int32_t offset = 0;
    std::memset(&info, 0, sizeof info);
    int result = p->GetPictureInfo(path, offset, SPI_INPUT_FILE, &info);
    if (result != SPI_SUCCESS) {
        std::free(info.hInfo); // a failed call may still have left text
        offset = kMacBinaryOffset;
        std::memset(&info, 0, sizeof info);
        result = p->GetPictureInfo(path, offset, SPI_INPUT_FILE, &info);
    }
    Handle text(info.hInfo);
    if (result != SPI_SUCCESS) return SpiRead::Failed;
    const int32_t width = info.width, height = info.height;
    if (width < 1 || width > kMaxDibSide || height < 1 || height > kMaxDibSide)
        return SpiRead::BadSize;

    void* infoBlock = nullptr;
    void* pixelBlock = nullptr;
    result = p->GetPicture(path, offset, SPI_INPUT_FILE, &infoBlock, &pixelBlock, nullptr, 0);
    if (result != SPI_SUCCESS && offset == 0) {
        std::free(infoBlock);
        std::free(pixelBlock);
        infoBlock = pixelBlock = nullptr;
        offset = kMacBinaryOffset;
        result = p->GetPicture(path, offset, SPI_INPUT_FILE, &infoBlock, &pixelBlock, nullptr, 0);
    }
    Handle infoHandle(infoBlock), pixelHandle(pixelBlock);
    if (result != SPI_SUCCESS || !infoBlock || !pixelBlock) return SpiRead::Failed;
    // What malloc gave the plug-in bounds what the host may read, whatever the header says.
    const size_t infoSize = ::malloc_usable_size(infoBlock);
    const size_t pixelSize = ::malloc_usable_size(pixelBlock);
    if (!ConvertDib(static_cast<const uint8_t*>(infoBlock), infoSize,
                    static_cast<const uint8_t*>(pixelBlock), pixelSize, width, height, picture))
        return SpiRead::Failed;
    return SpiRead::Ok;
}

SpiHost* ActivePictureHost() {
    return activeHost.load();
}

void SetActivePictureHost(SpiHost* host) {
    activeHost.store(host);
}

} // namespace lumidex
