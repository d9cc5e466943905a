#pragma once

#include "SpiAbi.h"

#include <QImage>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lumidex {

// One loaded plug-in library and its exports (absent ones null).
struct TSpi_plugin {
    void* module = nullptr;
    std::unique_ptr<TSpi_plugin> next;
    std::string name; // file name inside the folder
    SpiIsSupported IsSupported = nullptr;
    SpiGetPictureInfo GetPictureInfo = nullptr;
    SpiGetPicture GetPicture = nullptr;
    SpiGetPreview GetPreview = nullptr;
    SpiGetArchiveInfo GetArchiveInfo = nullptr;
    SpiGetFile GetFile = nullptr;
    SpiGetPluginInfo GetPluginInfo = nullptr;

    TSpi_plugin() = default;
    TSpi_plugin(const TSpi_plugin&) = delete;
    TSpi_plugin& operator=(const TSpi_plugin&) = delete;
    ~TSpi_plugin();
};

// A file type a plug-in offers: a wildcard pattern list ("*.tif;*.tiff") and its description.
struct SpiFileType {
    std::string pattern;
    std::string description;
};

enum class SpiRead {
    Ok,
    Failed, // no plug-in took the file, a call failed, or its output broke a rule
    BadSize // the plug-in reported a width or height outside 1..10000
};

// The plug-ins of one folder, asked in load order. Plug-ins run in this process: one that
// crashes takes the program with it. Readers hold Lock() around SelectPlugin and
// ReadSelected (the host remembers one file at a time); LoadFolder takes it itself.
class SpiHost {
public:
    SpiHost() = default;
    ~SpiHost();
    SpiHost(const SpiHost&) = delete;
    SpiHost& operator=(const SpiHost&) = delete;

    // Replaces the chain by the ".spi" libraries of folder, in bytewise name order.
    void LoadFolder(const std::string& folder);
    // Appends every plug-in's file types, in chain order; returns how many were appended.
    int ListTypes(std::vector<SpiFileType>& list);
    // Remembers path and chooses the first plug-in that supports it; true at once (and no
    // plug-in chosen) for ".BMP", which the caller reads itself.
    bool SelectPlugin(const std::string& path);
    // Reads the file last selected through the chosen plug-in into picture (8-bit RGB).
    SpiRead ReadSelected(QImage& picture);

    const std::string& Folder() const { return folder_; }
    const TSpi_plugin* Chain() const { return chain_.get(); }
    const TSpi_plugin* Chosen() const { return chosen_; }
    std::mutex& Lock() { return lock_; }

private:
    std::string folder_;
    std::unique_ptr<TSpi_plugin> chain_;
    std::string path_;
    std::string extension_;
    TSpi_plugin* chosen_ = nullptr;
    std::mutex lock_;
};

// The host that ReadPicture goes through while plug-in mode is on; null for the built-in
// readers. A host that is destroyed while active withdraws itself.
SpiHost* ActivePictureHost();
void SetActivePictureHost(SpiHost* host);

} // namespace lumidex
