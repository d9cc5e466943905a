#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>

class QLocalServer;
class QSharedMemory;

namespace lumidex {

inline constexpr const char* kServerName = "Lumidex Server";
inline constexpr int kServerBlockSize = 2048;

// The channel through which companion programs find this program: a 2048-byte shared block
// whose first four bytes hold the owner's process id, and a local socket server of the same
// name that takes messages of two little-endian 32-bit values. Both are per user
// (PerUserChannelName), so users of one machine do not meet.
class LumidexServer : public QObject {
    Q_OBJECT
public:
    explicit LumidexServer(QObject* parent = nullptr, const QString& name = kServerName);
    ~LumidexServer() override;

    // Whether this process owns the block (a second instance leaves the first one's alone).
    bool owner() const { return owner_; }
    bool listening() const;
    // The process id stored in the block, 0 when the block cannot be read.
    uint32_t StoredProcessId() const;
    // The process id a companion stored at offset (4 Tinter, 8 Joiner), 0 when none.
    uint32_t ProcessIdAt(int offset) const;
    // The block's path slot.
    void WritePath(const std::string& path);
    std::string ReadPath() const;

signals:
    void messageReceived(uint32_t wParam, uint32_t lParam);

private:
    void OnConnection();

    QString name_;
    std::unique_ptr<QSharedMemory> block_;
    QLocalServer* server_ = nullptr;
    bool owner_ = false;
};

} // namespace lumidex
