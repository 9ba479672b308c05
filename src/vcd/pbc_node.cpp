#include "vcd/pbc_node.h"

namespace tellavine::vcd {

PbcNode createPbcNode(PbcNodeKind kind) {
    PbcNode node;
    node.kind = kind;
    return node;
}

}  // namespace tellavine::vcd
