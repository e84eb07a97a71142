// quillon's module state: the ingest-server link, the open drive and the
// streaming worker join here as they are built.
namespace quillon {
struct QuillonState {};
QuillonState& State() {
    static QuillonState state;
    return state;
}
}  // namespace quillon
