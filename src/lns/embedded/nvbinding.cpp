#include "lns/embedded/nvbinding.h"

#include "lonip/nmclient.h"

#include <map>

namespace embedded {

using namespace lonip;

namespace {

constexpr quint8 AddressTableSize = 15; // entries 0 to 14; index 15 stands for none
constexpr quint8 NoAddress = 15;
constexpr quint8 TransmitTimerCode = 5; // 96 ms
constexpr quint8 RetryCount = 3;

// The address-table entry of one device that names the tool node, borrowed while bindings hold
// it. It also speaks for them to the device: once the device does not answer, what is left to put
// back is not sent (each message would wait out its retries), so a silent device costs one wait.
class AddressSlot
{
public:
    AddressSlot(std::shared_ptr<ToolNode> node, Target device, quint8 index, QByteArray original)
        : m_node(std::move(node)), m_device(std::move(device)), m_index(index), m_original(std::move(original))
    {
    }
    ~AddressSlot()
    {
        if (tell(request::updateAddress(m_index, m_original)))
            tell(request::checksumRecalc());
    }
    AddressSlot(const AddressSlot &) = delete;
    AddressSlot &operator=(const AddressSlot &) = delete;

    quint8 index() const { return m_index; }
    ToolNode &node() const { return *m_node; }

    // A request to the device; false when it refuses or does not answer.
    bool tell(const QByteArray &apdu)
    {
        if (m_silent)
            return false;
        const Result r = m_node->call(m_device, apdu);
        m_silent = r.status == Result::Status::Timeout;
        return r.ok();
    }

    // The tool node's entry at the device: the one a binding holds, else a free one taken now.
    static std::shared_ptr<AddressSlot> borrow(const std::shared_ptr<ToolNode> &node, const Target &device, SubnetNode tool);

private:
    std::shared_ptr<ToolNode> m_node;
    Target m_device;
    quint8 m_index;
    QByteArray m_original;
    bool m_silent = false;
};

// By tool node and device address, while a binding holds them.
std::map<std::pair<const ToolNode *, quint32>, std::weak_ptr<AddressSlot>> theSlots;

std::shared_ptr<AddressSlot> AddressSlot::borrow(const std::shared_ptr<ToolNode> &node, const Target &device,
                                                 SubnetNode tool)
{
    std::weak_ptr<AddressSlot> &held = theSlots[{node.get(), device.ip.toIPv4Address()}];
    if (auto slot = held.lock())
        return slot;
    for (quint8 index = 0; index < AddressTableSize; ++index) {
        const Result entry = node->call(device, request::queryAddress(index));
        if (!entry.ok())
            return nullptr; // a shorter table, or no answer
        if (!isFreeAddressEntry(entry.data))
            continue;
        // Put back from here on, even when only the answer to the update was lost.
        auto slot = std::make_shared<AddressSlot>(node, device, index, entry.data);
        if (!slot->tell(request::updateAddress(index, AddressEntry{0, tool.node, 0, RetryCount, TransmitTimerCode,
                                                                   tool.subnet})))
            return nullptr;
        held = slot;
        return slot;
    }
    return nullptr;
}

class OutputBinding : public NvBinding
{
public:
    OutputBinding(std::shared_ptr<AddressSlot> slot, int nvIndex, const NvConfigEntry &original, quint16 selector)
        : m_slot(std::move(slot)), m_nv(nvIndex), m_original(original), m_selector(selector)
    {
    }
    ~OutputBinding() override
    {
        // The device stops sending before its address entry goes.
        if (m_slot->tell(request::updateNvConfig(m_nv, m_original)))
            m_slot->tell(request::checksumRecalc());
        m_slot->node().client().removeInput(m_selector);
    }

    // Points the NV at the tool node's input; false when the device refuses or does not answer.
    bool bind()
    {
        NvConfigEntry bound = m_original;
        bound.selector = m_selector;
        bound.addressIndex = m_slot->index();
        bound.service = NvConfigEntry::Service::Acknowledged;
        bound.turnaround = false;
        return m_slot->tell(request::updateNvConfig(m_nv, bound)) && m_slot->tell(request::checksumRecalc());
    }

private:
    std::shared_ptr<AddressSlot> m_slot;
    int m_nv;
    NvConfigEntry m_original;
    quint16 m_selector;
};

} // namespace

std::unique_ptr<NvBinding> bindToToolNode(const std::shared_ptr<ToolNode> &node, const Target &device, int nvIndex,
                                          std::function<void(const QByteArray &)> sent)
{
    // The device sends to the subnet/node of its address entry, in its own domain: the tool node
    // has to be there.
    const auto tool = node->reachableAt();
    const auto deviceAddress = fromNodeIp(device.ip);
    if (!tool || !deviceAddress || device.destination.kind != Destination::Kind::SubnetNode
        || domainOfIp(node->ip()) != deviceAddress->domain)
        return nullptr;
    const Result read = node->call(device, request::queryNvConfig(nvIndex));
    const auto original = read.ok() ? decodeNvConfig(read.data) : std::nullopt;
    if (!original || !original->output || original->addressIndex != NoAddress)
        return nullptr; // bound elsewhere: not ours to change
    auto slot = AddressSlot::borrow(node, device, *tool);
    if (!slot)
        return nullptr;
    const quint16 selector = node->client().addInput(device.ip, std::move(sent));
    if (selector == 0)
        return nullptr;
    auto binding = std::make_unique<OutputBinding>(std::move(slot), nvIndex, *original, selector);
    if (!binding->bind())
        return nullptr; // what was changed is put back
    return binding;
}

} // namespace embedded
