// Text to values: the builder that turns parser events into a value tree, and
// the driver that feeds the parser from a source.
#include "json/builder.h"
#include "json/parser.h"
#include "json/value_internal.h"

#include <cstdlib>
#include <cstring>

using namespace json_detail;

namespace {

// Line, column and character count over the characters fed so far.
void advance_position(cson_parse_info& pos, const char* text, size_t n)
{
    pos.length += uint32_t(n);
    const char* end = text + n;
    const char* last_line = nullptr;
    for (const char* p = text; (p = static_cast<const char*>(memchr(p, '\n', size_t(end - p)))) != nullptr; ++p) {
        ++pos.line;
        last_line = p;
    }
    if (last_line) pos.col = uint32_t(end - last_line - 1);
    else pos.col += uint32_t(n);
}

// Feeds text through the parser; false when it was refused.
struct Session {
    cson_parser* parser = nullptr;
    Builder builder;
    cson_parse_info pos{1, 0, 0, 0, 0, 0};

    ~Session() { cson_parser_delete(parser); }

    int open(const cson_parse_opt* opt, const cson_parse_info* info)
    {
        if (info) pos = *info;
        cson_parser_config config;
        cson_parser_config_init(&config);
        config.callback = build_event;
        config.callback_context = &builder;
        config.depth = opt && opt->maxDepth ? opt->maxDepth : 25;
        config.allow_comments = opt && opt->allowComments;
        parser = cson_parser_new(&config);
        return parser ? cson_rc_OK : cson_rc_AllocError;
    }

    int refusal()
    {
        const int rc = cson_parser_error(parser);
        if (rc) return rc;
        return builder.error ? builder.error : cson_rc_InternalError;
    }

    int feed(const char* text, size_t n)
    {
        size_t consumed = 0;
        const bool ok = cson_parser_chars(parser, text, n, &consumed);
        advance_position(pos, text, consumed);
        return ok ? cson_rc_OK : refusal();
    }

    int finish(cson_value** target)
    {
        if (!cson_parser_done(parser)) return refusal();
        if (!builder.root) return cson_rc_UnknownError;
        reset_to_one_owner(builder.root);
        *target = builder.root;
        builder.root = nullptr;
        return cson_rc_OK;
    }

    int close(int rc, cson_parse_info* info)
    {
        pos.errorCode = rc;
        if (info) *info = pos;
        return rc;
    }
};

}  // namespace

KEEL_API int cson_data_source_FILE(void* state, void* dest, unsigned* n)
{
    if (!state || !dest || !n) return cson_rc_ArgError;
    if (!*n) return cson_rc_RangeError;
    FILE* file = static_cast<FILE*>(state);
    *n = unsigned(fread(dest, 1, *n, file));
    if (!*n && !feof(file)) return cson_rc_IOError;
    return cson_rc_OK;
}

KEEL_API int cson_parse(cson_value** target, cson_data_source_f source, void* state, const cson_parse_opt* opt,
                        cson_parse_info* info)
{
    if (!target || !source) return cson_rc_ArgError;
    Session session;
    if (const int rc = session.open(opt, info)) return session.close(rc, info);
    char chunk[4096];
    for (;;) {
        unsigned n = sizeof(chunk);
        if (const int rc = source(state, chunk, &n)) return session.close(rc, info);
        if (n == 0) break;
        if (n > sizeof(chunk)) return session.close(cson_rc_RangeError, info);
        if (const int rc = session.feed(chunk, n)) return session.close(rc, info);
    }
    return session.close(session.finish(target), info);
}

KEEL_API int cson_parse_FILE(cson_value** target, FILE* file, const cson_parse_opt* opt, cson_parse_info* info)
{
    if (!file) return cson_rc_ArgError;
    return cson_parse(target, cson_data_source_FILE, file, opt, info);
}

KEEL_API int cson_parse_filename(cson_value** target, const char* path, const cson_parse_opt* opt,
                                 cson_parse_info* info)
{
    if (!path) return cson_rc_ArgError;
    FILE* file = fopen(path, "rb");
    if (!file) return cson_rc_IOError;
    const int rc = cson_parse_FILE(target, file, opt, info);
    fclose(file);
    return rc;
}

KEEL_API int cson_parse_string(cson_value** target, const char* text, unsigned length, const cson_parse_opt* opt,
                               cson_parse_info* info)
{
    if (!target || !text) return cson_rc_ArgError;
    if (length < 2) return cson_rc_RangeError;
    Session session;
    if (const int rc = session.open(opt, info)) return session.close(rc, info);
    if (const int rc = session.feed(text, length)) return session.close(rc, info);
    return session.close(session.finish(target), info);
}
