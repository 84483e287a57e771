// The push parser: each character is mapped to a class, and a table of states
// by classes gives the next state or a structural action.
#include "json/builder.h"
#include "json/parser.h"
#include "json/value_internal.h"

#include <clocale>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace {

enum CharClass : int8_t {
    C_SPACE,
    C_WHITE,  // tab, line feed, carriage return
    C_LCURB,
    C_RCURB,
    C_LSQRB,
    C_RSQRB,
    C_COLON,
    C_COMMA,
    C_QUOTE,
    C_BACKS,
    C_SLASH,
    C_PLUS,
    C_MINUS,
    C_POINT,
    C_ZERO,
    C_DIGIT,
    C_LOW_A,
    C_LOW_B,
    C_LOW_C,
    C_LOW_D,
    C_LOW_E,
    C_LOW_F,
    C_LOW_L,
    C_LOW_N,
    C_LOW_R,
    C_LOW_S,
    C_LOW_T,
    C_LOW_U,
    C_ABCDF,
    C_E,
    C_ETC,
    C_STAR,
    kClassCount,
    C_INVALID = -1
};

enum State : int8_t {
    GO,  // start
    OK,  // after a value
    OB,  // object begun: a key or the end
    KE,  // a key after a comma
    CO,  // the colon
    VA,  // a value
    AR,  // array begun: a value or the end
    ST,  // in a string
    ES,  // after a backslash
    U1,  // the four hex digits of \u
    U2,
    U3,
    U4,
    MI,  // number: sign, zero, integer, point, fraction, exponent
    ZE,
    IN,
    F0,
    FR,
    E1,
    E2,
    E3,
    T1,  // true
    T2,
    T3,
    F1,  // false
    F2,
    F3,
    F4,
    N1,  // null
    N2,
    N3,
    C1,  // comment: after '/', inside, after '*'
    C2,
    C3,
    D1,  // after a high surrogate: its '\' and 'u'
    D2,
    kStateCount
};

enum Action : int8_t {
    X = -1,  // refused
    A_OBJECT_BEGIN = -2,
    A_OBJECT_END = -3,
    A_ARRAY_BEGIN = -4,
    A_ARRAY_END = -5,
    A_STRING_BEGIN = -6,
    A_STRING_END = -7,
    A_COLON = -8,
    A_COMMA = -9,
    A_NUMBER_END = -10,
    A_TRUE = -11,
    A_FALSE = -12,
    A_NULL = -13,
    A_ESCAPE = -14,
    A_HEX_END = -15,
    A_COMMENT = -16,
    A_COMMENT_END = -17
};

enum Mode : uint8_t { MODE_DONE, MODE_OBJECT, MODE_ARRAY };

struct ClassTable {
    int8_t of[128];
};

constexpr ClassTable build_classes()
{
    ClassTable t{};
    for (int c = 0; c < 128; ++c) t.of[c] = c < 32 ? C_INVALID : C_ETC;
    t.of[int(' ')] = C_SPACE;
    t.of[int('\t')] = t.of[int('\n')] = t.of[int('\r')] = C_WHITE;
    t.of[int('{')] = C_LCURB;
    t.of[int('}')] = C_RCURB;
    t.of[int('[')] = C_LSQRB;
    t.of[int(']')] = C_RSQRB;
    t.of[int(':')] = C_COLON;
    t.of[int(',')] = C_COMMA;
    t.of[int('"')] = C_QUOTE;
    t.of[int('\\')] = C_BACKS;
    t.of[int('/')] = C_SLASH;
    t.of[int('+')] = C_PLUS;
    t.of[int('-')] = C_MINUS;
    t.of[int('.')] = C_POINT;
    t.of[int('0')] = C_ZERO;
    for (int c = '1'; c <= '9'; ++c) t.of[c] = C_DIGIT;
    t.of[int('a')] = C_LOW_A;
    t.of[int('b')] = C_LOW_B;
    t.of[int('c')] = C_LOW_C;
    t.of[int('d')] = C_LOW_D;
    t.of[int('e')] = C_LOW_E;
    t.of[int('f')] = C_LOW_F;
    t.of[int('l')] = C_LOW_L;
    t.of[int('n')] = C_LOW_N;
    t.of[int('r')] = C_LOW_R;
    t.of[int('s')] = C_LOW_S;
    t.of[int('t')] = C_LOW_T;
    t.of[int('u')] = C_LOW_U;
    t.of[int('A')] = t.of[int('B')] = t.of[int('C')] = t.of[int('D')] = t.of[int('F')] = C_ABCDF;
    t.of[int('E')] = C_E;
    t.of[int('*')] = C_STAR;
    return t;
}

struct TransitionTable {
    int8_t next[kStateCount][kClassCount];
};

constexpr TransitionTable build_transitions()
{
    TransitionTable t{};
    for (int s = 0; s < kStateCount; ++s)
        for (int c = 0; c < kClassCount; ++c) t.next[s][c] = X;

    auto blank = [&t](int s) {
        t.next[s][C_SPACE] = int8_t(s);
        t.next[s][C_WHITE] = int8_t(s);
        t.next[s][C_SLASH] = A_COMMENT;
    };
    auto value_start = [&t](int s) {
        t.next[s][C_LCURB] = A_OBJECT_BEGIN;
        t.next[s][C_LSQRB] = A_ARRAY_BEGIN;
        t.next[s][C_QUOTE] = A_STRING_BEGIN;
        t.next[s][C_MINUS] = MI;
        t.next[s][C_ZERO] = ZE;
        t.next[s][C_DIGIT] = IN;
        t.next[s][C_LOW_T] = T1;
        t.next[s][C_LOW_F] = F1;
        t.next[s][C_LOW_N] = N1;
    };
    auto number_end = [&t](int s) {
        for (int c : {int(C_SPACE), int(C_WHITE), int(C_COMMA), int(C_RSQRB), int(C_RCURB), int(C_SLASH)}) t.next[s][c] = A_NUMBER_END;
    };
    auto hex = [&t](int s, int8_t to) {
        for (int c : {C_ZERO, C_DIGIT, C_LOW_A, C_LOW_B, C_LOW_C, C_LOW_D, C_LOW_E, C_LOW_F, C_ABCDF, C_E})
            t.next[s][c] = to;
    };
    auto exponent_mark = [&t](int s) { t.next[s][C_LOW_E] = t.next[s][C_E] = E1; };

    blank(GO);
    value_start(GO);
    blank(OK);
    t.next[OK][C_RCURB] = A_OBJECT_END;
    t.next[OK][C_RSQRB] = A_ARRAY_END;
    t.next[OK][C_COMMA] = A_COMMA;
    blank(OB);
    t.next[OB][C_RCURB] = A_OBJECT_END;
    t.next[OB][C_QUOTE] = A_STRING_BEGIN;
    blank(KE);
    t.next[KE][C_QUOTE] = A_STRING_BEGIN;
    blank(CO);
    t.next[CO][C_COLON] = A_COLON;
    blank(VA);
    value_start(VA);
    blank(AR);
    value_start(AR);
    t.next[AR][C_RSQRB] = A_ARRAY_END;

    for (int c = 0; c < kClassCount; ++c) t.next[ST][c] = ST;
    t.next[ST][C_WHITE] = X;  // raw tab, line feed and carriage return are control characters
    t.next[ST][C_QUOTE] = A_STRING_END;
    t.next[ST][C_BACKS] = ES;
    for (int c : {C_QUOTE, C_BACKS, C_SLASH, C_LOW_B, C_LOW_F, C_LOW_N, C_LOW_R, C_LOW_T}) t.next[ES][c] = A_ESCAPE;
    t.next[ES][C_LOW_U] = U1;
    hex(U1, U2);
    hex(U2, U3);
    hex(U3, U4);
    hex(U4, A_HEX_END);
    t.next[D1][C_BACKS] = D2;
    t.next[D2][C_LOW_U] = U1;

    t.next[MI][C_ZERO] = ZE;
    t.next[MI][C_DIGIT] = IN;
    t.next[ZE][C_POINT] = F0;
    exponent_mark(ZE);
    number_end(ZE);
    t.next[IN][C_ZERO] = t.next[IN][C_DIGIT] = IN;
    t.next[IN][C_POINT] = F0;
    exponent_mark(IN);
    number_end(IN);
    t.next[F0][C_ZERO] = t.next[F0][C_DIGIT] = FR;
    t.next[FR][C_ZERO] = t.next[FR][C_DIGIT] = FR;
    exponent_mark(FR);
    number_end(FR);
    t.next[E1][C_PLUS] = t.next[E1][C_MINUS] = E2;
    t.next[E1][C_ZERO] = t.next[E1][C_DIGIT] = E3;
    t.next[E2][C_ZERO] = t.next[E2][C_DIGIT] = E3;
    t.next[E3][C_ZERO] = t.next[E3][C_DIGIT] = E3;
    number_end(E3);

    t.next[T1][C_LOW_R] = T2;
    t.next[T2][C_LOW_U] = T3;
    t.next[T3][C_LOW_E] = A_TRUE;
    t.next[F1][C_LOW_A] = F2;
    t.next[F2][C_LOW_L] = F3;
    t.next[F3][C_LOW_S] = F4;
    t.next[F4][C_LOW_E] = A_FALSE;
    t.next[N1][C_LOW_U] = N2;
    t.next[N2][C_LOW_L] = N3;
    t.next[N3][C_LOW_L] = A_NULL;

    t.next[C1][C_STAR] = C2;
    for (int c = 0; c < kClassCount; ++c) t.next[C2][c] = C2;
    t.next[C2][C_STAR] = C3;
    for (int c = 0; c < kClassCount; ++c) t.next[C3][c] = C2;
    t.next[C3][C_STAR] = C3;
    t.next[C3][C_SLASH] = A_COMMENT_END;
    return t;
}

constexpr ClassTable kClasses = build_classes();
constexpr TransitionTable kTransitions = build_transitions();

constexpr size_t kInlineDepth = 128;
constexpr size_t kInlineText = 3500;

bool is_number_state(int s) { return s >= MI && s <= E3; }

// Why a character was refused in a state, as a result code.
int refusal_code(int state, int cls)
{
    if (cls == C_INVALID) return cson_rc_Parse_INVALID_CHAR;
    if (state >= T1 && state <= N3) return cson_rc_Parse_INVALID_KEYWORD;
    if (state == ES) return cson_rc_Parse_INVALID_ESCAPE_SEQUENCE;
    if ((state >= U1 && state <= U4) || state == D1 || state == D2) return cson_rc_Parse_INVALID_UNICODE_SEQUENCE;
    if (is_number_state(state)) return cson_rc_Parse_INVALID_NUMBER;
    if (state == OB || state == KE) return cson_rc_Parse_EXPECTED_KEY;
    if (state == CO) return cson_rc_Parse_EXPECTED_COLON;
    return cson_rc_Parse_INVALID_CHAR;
}

int hex_digit(int c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

const double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Exact conversion when the digits fit a double's mantissa and the power of
// ten is itself exact: one correctly rounded multiply or divide.
bool convert_exactly(const char* s, size_t n, double* out)
{
    size_t i = 0;
    const bool negative = s[0] == '-';
    if (negative) ++i;
    uint64_t mantissa = 0;
    int digits = 0;
    int scale = 0;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (mantissa || s[i] != '0') ++digits;
        mantissa = mantissa * 10 + uint64_t(s[i] - '0');
        if (digits > 15) return false;
    }
    if (i < n && s[i] == '.') {
        for (++i; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
            if (mantissa || s[i] != '0') ++digits;
            mantissa = mantissa * 10 + uint64_t(s[i] - '0');
            --scale;
            if (digits > 15) return false;
        }
    }
    if (i < n) {  // 'e' or 'E'
        ++i;
        bool exponent_negative = false;
        if (s[i] == '+' || s[i] == '-') exponent_negative = s[i++] == '-';
        int exponent = 0;
        for (; i < n; ++i) {
            exponent = exponent * 10 + (s[i] - '0');
            if (exponent > 1000) return false;
        }
        scale += exponent_negative ? -exponent : exponent;
    }
    double d = double(mantissa);
    if (mantissa == 0) {
        *out = negative ? -0.0 : 0.0;
        return true;
    }
    if (scale < -22 || scale > 22) return false;
    d = scale < 0 ? d / kPowersOfTen[-scale] : d * kPowersOfTen[scale];
    *out = negative ? -d : d;
    return true;
}

}  // namespace

struct cson_parser {
    cson_parser_config config;
    int8_t state;
    int8_t state_before_comment;
    bool in_key;
    int error;
    char decimal_point;
    // the nesting stack: inline, moved to the heap when it fills
    uint8_t* modes;
    size_t depth;
    size_t mode_capacity;
    // the text of the current string or number
    char* text;
    size_t text_length;
    size_t text_capacity;
    // the \u escape being read and a high surrogate waiting for its pair
    uint32_t code_unit;
    uint32_t high_surrogate;
    uint8_t inline_modes[kInlineDepth];
    char inline_text[kInlineText];
};

namespace {

bool refuse(cson_parser* p, int code)
{
    if (!p->error) p->error = code;
    return false;
}

inline bool emit(cson_parser* p, int event, const cson_parser_value* value)
{
    if (!p->config.callback) return true;
    const int rc = p->config.callback == json_detail::build_event
                       ? json_detail::build_event(p->config.callback_context, event, value)
                       : p->config.callback(p->config.callback_context, event, value);
    if (rc) return refuse(p, rc);
    return true;
}

bool emit_plain(cson_parser* p, int event)
{
    const cson_parser_value none{0, 0.0, nullptr, 0};
    return emit(p, event, &none);
}

bool grow_text(cson_parser* p, size_t needed)
{
    size_t capacity = p->text_capacity;
    while (capacity < needed) {
        if (capacity > UINT32_MAX) return refuse(p, cson_rc_AllocError);
        capacity *= 2;
    }
    auto* grown = static_cast<char*>(p->config.allocate(capacity));
    if (!grown) return refuse(p, cson_rc_AllocError);
    memcpy(grown, p->text, p->text_length);
    if (p->text != p->inline_text) p->config.release(p->text);
    p->text = grown;
    p->text_capacity = capacity;
    return true;
}

// Room for the text plus its terminating NUL.
inline bool append_text(cson_parser* p, const char* bytes, size_t n)
{
    if (p->text_length + n + 1 > p->text_capacity && !grow_text(p, p->text_length + n + 1)) return false;
    json_detail::copy_bytes(p->text + p->text_length, bytes, n);
    p->text_length += n;
    return true;
}

inline bool append_char(cson_parser* p, char c)
{
    if (p->text_length + 2 > p->text_capacity && !grow_text(p, p->text_length + 2)) return false;
    p->text[p->text_length++] = c;
    return true;
}

bool append_code_point(cson_parser* p, uint32_t cp)
{
    char out[4];
    size_t n;
    if (cp < 0x80) {
        out[0] = char(cp);
        n = 1;
    } else if (cp < 0x800) {
        out[0] = char(0xC0 | (cp >> 6));
        out[1] = char(0x80 | (cp & 0x3F));
        n = 2;
    } else if (cp < 0x10000) {
        out[0] = char(0xE0 | (cp >> 12));
        out[1] = char(0x80 | ((cp >> 6) & 0x3F));
        out[2] = char(0x80 | (cp & 0x3F));
        n = 3;
    } else {
        out[0] = char(0xF0 | (cp >> 18));
        out[1] = char(0x80 | ((cp >> 12) & 0x3F));
        out[2] = char(0x80 | ((cp >> 6) & 0x3F));
        out[3] = char(0x80 | (cp & 0x3F));
        n = 4;
    }
    return append_text(p, out, n);
}

bool push_mode(cson_parser* p, Mode mode)
{
    if (p->config.depth >= 1 && p->depth >= size_t(p->config.depth))
        return refuse(p, cson_rc_Parse_NESTING_DEPTH_REACHED);
    if (p->depth + 1 >= p->mode_capacity) {
        const size_t capacity = p->mode_capacity * 2;
        auto* grown = static_cast<uint8_t*>(p->config.allocate(capacity));
        if (!grown) return refuse(p, cson_rc_AllocError);
        memcpy(grown, p->modes, p->depth + 1);
        if (p->modes != p->inline_modes) p->config.release(p->modes);
        p->modes = grown;
        p->mode_capacity = capacity;
    }
    p->modes[++p->depth] = mode;
    return true;
}

bool pop_mode(cson_parser* p, Mode mode)
{
    if (p->depth == 0 || p->modes[p->depth] != mode) return refuse(p, cson_rc_Parse_UNBALANCED_COLLECTION);
    --p->depth;
    p->state = OK;
    return true;
}

bool end_number(cson_parser* p)
{
    p->text[p->text_length] = 0;
    const char* s = p->text;
    const size_t n = p->text_length;
    bool integral = true;
    for (size_t i = 0; i < n; ++i)
        if (s[i] == '.' || s[i] == 'e' || s[i] == 'E') integral = false;
    cson_parser_value v{0, 0.0, s, uint32_t(n)};
    p->state = OK;
    if (integral && n <= 11) {
        // At most a sign and ten digits: fits in 64 bits for the range check.
        const bool negative = s[0] == '-';
        int64_t magnitude = 0;
        for (size_t i = negative ? 1 : 0; i < n; ++i) magnitude = magnitude * 10 + (s[i] - '0');
        const int64_t value = negative ? -magnitude : magnitude;
        if (value >= INT32_MIN && value <= INT32_MAX) {
            v.integer = cson_int_t(value);
            return emit(p, CSON_EVENT_INTEGER, &v);
        }
    }
    // Fractions, exponents and integers beyond 32 bits are floating-point numbers.
    if (!p->config.handle_floats_manually && !convert_exactly(s, n, &v.number)) {
        if (p->decimal_point != '.') {
            for (size_t i = 0; i < n; ++i)
                if (p->text[i] == '.') p->text[i] = p->decimal_point;
        }
        v.number = strtod(p->text, nullptr);
    }
    return emit(p, CSON_EVENT_FLOAT, &v);
}

bool end_escape_code(cson_parser* p)
{
    const uint32_t unit = p->code_unit;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (p->high_surrogate) return refuse(p, cson_rc_Parse_INVALID_UNICODE_SEQUENCE);
        p->high_surrogate = unit;
        p->state = D1;
        return true;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (!p->high_surrogate) return refuse(p, cson_rc_Parse_INVALID_UNICODE_SEQUENCE);
        const uint32_t cp = 0x10000 + ((p->high_surrogate - 0xD800) << 10) + (unit - 0xDC00);
        p->high_surrogate = 0;
        p->state = ST;
        return append_code_point(p, cp);
    }
    if (p->high_surrogate) return refuse(p, cson_rc_Parse_INVALID_UNICODE_SEQUENCE);
    p->state = ST;
    return append_code_point(p, unit);
}

char escaped(int c)
{
    switch (c) {
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    default: return char(c);  // the quote, backslash and slash stand for themselves
    }
}

bool act(cson_parser* p, int action, int c)
{
    switch (action) {
    case A_OBJECT_BEGIN:
        if (!push_mode(p, MODE_OBJECT)) return false;
        p->state = OB;
        return emit_plain(p, CSON_EVENT_OBJECT_BEGIN);
    case A_ARRAY_BEGIN:
        if (!push_mode(p, MODE_ARRAY)) return false;
        p->state = AR;
        return emit_plain(p, CSON_EVENT_ARRAY_BEGIN);
    case A_OBJECT_END: return pop_mode(p, MODE_OBJECT) && emit_plain(p, CSON_EVENT_OBJECT_END);
    case A_ARRAY_END: return pop_mode(p, MODE_ARRAY) && emit_plain(p, CSON_EVENT_ARRAY_END);
    case A_STRING_BEGIN:
        p->in_key = p->state == OB || p->state == KE;
        p->text_length = 0;
        p->state = ST;
        return true;
    case A_STRING_END: {
        p->text[p->text_length] = 0;
        const cson_parser_value v{0, 0.0, p->text, uint32_t(p->text_length)};
        p->state = p->in_key ? CO : OK;
        return emit(p, p->in_key ? CSON_EVENT_KEY : CSON_EVENT_STRING, &v);
    }
    case A_COLON: p->state = VA; return true;
    case A_COMMA:
        if (p->modes[p->depth] == MODE_OBJECT) p->state = KE;
        else if (p->modes[p->depth] == MODE_ARRAY) p->state = VA;
        else return refuse(p, cson_rc_Parse_INVALID_CHAR);
        return true;
    case A_TRUE: p->state = OK; return emit_plain(p, CSON_EVENT_TRUE);
    case A_FALSE: p->state = OK; return emit_plain(p, CSON_EVENT_FALSE);
    case A_NULL: p->state = OK; return emit_plain(p, CSON_EVENT_NULL);
    case A_ESCAPE: p->state = ST; return append_char(p, escaped(c));
    case A_HEX_END:
        p->code_unit = (p->code_unit << 4) | uint32_t(hex_digit(c));
        return end_escape_code(p);
    case A_COMMENT:
        if (!p->config.allow_comments) return refuse(p, cson_rc_Parse_INVALID_CHAR);
        p->state_before_comment = p->state;
        p->state = C1;
        return true;
    case A_COMMENT_END: p->state = p->state_before_comment; return true;
    default: return refuse(p, cson_rc_InternalError);
    }
}

inline int class_of(int c) { if (c < 0) return C_INVALID;
    return c >= 128 ? int(C_ETC) : int(kClasses.of[c]); }

bool step(cson_parser* p, int c)
{
    const int cls = class_of(c);
    for (;;) {
        const int state = p->state;
        const int next = cls == C_INVALID ? int(X) : int(kTransitions.next[state][cls]);
        if (next >= 0) {
            if (is_number_state(next) && !is_number_state(state)) p->text_length = 0;
            if (next == ST || is_number_state(next)) {
                if (!append_char(p, char(c))) return false;
            } else if (next >= U2 && next <= U4) {
                p->code_unit = (p->code_unit << 4) | uint32_t(hex_digit(c));
            } else if (next == U1) {
                p->code_unit = 0;
            }
            p->state = int8_t(next);
            return true;
        }
        if (next == X) return refuse(p, refusal_code(state, cls));
        if (next != A_NUMBER_END) return act(p, next, c);
        if (!end_number(p)) return false;
        // The character that ended the number is read again after the value.
    }
}

bool is_blank_state(int s) { return s <= AR; }

}  // namespace

KEEL_API void cson_parser_config_init(cson_parser_config* config)
{
    if (!config) return;
    config->callback = nullptr;
    config->callback_context = nullptr;
    config->depth = 127;
    config->allow_comments = false;
    config->handle_floats_manually = false;
    config->allocate = malloc;
    config->release = free;
}

KEEL_API cson_parser* cson_parser_new(const cson_parser_config* config)
{
    cson_parser_config c;
    cson_parser_config_init(&c);
    if (config) c = *config;
    if (!c.allocate || !c.release) {
        c.allocate = malloc;
        c.release = free;
    }
    auto* p = static_cast<cson_parser*>(c.allocate(sizeof(cson_parser)));
    if (!p) return nullptr;
    p->config = c;
    p->state = GO;
    p->state_before_comment = GO;
    p->in_key = false;
    p->error = 0;
    const lconv* locale = localeconv();
    p->decimal_point = locale && locale->decimal_point && locale->decimal_point[0] ? locale->decimal_point[0] : '.';
    p->modes = p->inline_modes;
    p->depth = 0;
    p->mode_capacity = kInlineDepth;
    p->modes[0] = MODE_DONE;
    p->text = p->inline_text;
    p->text_length = 0;
    p->text_capacity = kInlineText;
    p->code_unit = 0;
    p->high_surrogate = 0;
    return p;
}

KEEL_API void cson_parser_delete(cson_parser* p)
{
    if (!p) return;
    if (p->modes != p->inline_modes) p->config.release(p->modes);
    if (p->text != p->inline_text) p->config.release(p->text);
    p->config.release(p);
}

KEEL_API bool cson_parser_char(cson_parser* p, int c)
{
    if (!p) return false;
    if (p->error) return false;
    return step(p, c);
}

namespace {

bool starts_value(int state) { return state == GO || state == VA || state == AR; }

bool ends_number(char c)
{
    return c == ',' || c == ']' || c == '}' || c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '/';
}

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A whole number inside the run, followed by a character that ends it: read
// at once. 0 when the table must decide (an error, or the run ends first).
size_t read_number(cson_parser* p, const char* s, size_t n)
{
    size_t k = s[0] == '-' ? 1 : 0;
    if (k >= n) return 0;
    if (s[k] == '0') {
        ++k;
    } else if (is_digit(s[k])) {
        while (k < n && is_digit(s[k])) ++k;
    } else {
        return 0;
    }
    bool integral = true;
    if (k < n && s[k] == '.') {
        integral = false;
        if (++k >= n || !is_digit(s[k])) return 0;
        while (k < n && is_digit(s[k])) ++k;
    }
    if (k < n && (s[k] == 'e' || s[k] == 'E')) {
        integral = false;
        if (++k < n && (s[k] == '+' || s[k] == '-')) ++k;
        if (k >= n || !is_digit(s[k])) return 0;
        while (k < n && is_digit(s[k])) ++k;
    }
    if (k >= n || !ends_number(s[k])) return 0;
    p->state = OK;
    cson_parser_value v{0, 0.0, s, uint32_t(k)};
    const size_t sign = s[0] == '-' ? 1 : 0;
    if (integral && k - sign <= 10) {
        int64_t magnitude = 0;
        for (size_t i = sign; i < k; ++i) magnitude = magnitude * 10 + (s[i] - '0');
        const int64_t value = sign ? -magnitude : magnitude;
        if (value >= INT32_MIN && value <= INT32_MAX) {
            v.integer = cson_int_t(value);
            return emit(p, CSON_EVENT_INTEGER, &v) ? k : SIZE_MAX;
        }
    }
    if (p->config.handle_floats_manually || convert_exactly(s, k, &v.number))
        return emit(p, CSON_EVENT_FLOAT, &v) ? k : SIZE_MAX;
    p->text_length = 0;
    if (!append_text(p, s, k) || !end_number(p)) return SIZE_MAX;
    return k;
}

// A whole string without escapes inside the run: handed on from the run itself.
size_t read_plain_string(cson_parser* p, const char* s, size_t n)
{
    size_t k = 1;
    while (k < n) {
        const unsigned char b = static_cast<unsigned char>(s[k]);
        if (b == '"' || b == '\\' || b < 0x20) break;
        ++k;
    }
    const bool key = p->state == OB || p->state == KE;
    if (k < n && s[k] == '\\') {
        // An escape: the string goes on in the text buffer from here.
        p->in_key = key;
        p->text_length = 0;
        p->state = ST;
        return append_text(p, s + 1, k - 1) ? k : SIZE_MAX;
    }
    if (k >= n || s[k] != '"') return 0;
    const cson_parser_value v{0, 0.0, s + 1, uint32_t(k - 1)};
    p->state = key ? CO : OK;
    if (!emit(p, key ? CSON_EVENT_KEY : CSON_EVENT_STRING, &v)) return SIZE_MAX;
    return k + 1;
}

size_t read_literal(cson_parser* p, const char* s, size_t n)
{
    static const struct {
        const char* text;
        size_t length;
        int event;
    } kLiterals[] = {{"true", 4, CSON_EVENT_TRUE}, {"false", 5, CSON_EVENT_FALSE}, {"null", 4, CSON_EVENT_NULL}};
    for (const auto& l : kLiterals) {
        if (s[0] != l.text[0]) continue;
        if (n < l.length || memcmp(s, l.text, l.length) != 0) return 0;
        p->state = OK;
        return emit_plain(p, l.event) ? l.length : SIZE_MAX;
    }
    return 0;
}

// A whole escape inside the run, other than a surrogate: read at once.
size_t read_escape(cson_parser* p, const char* s, size_t n)
{
    if (s[0] != '\\' || n < 2) return 0;
    const char e = s[1];
    if (e == '"' || e == '\\' || e == '/' || e == 'b' || e == 'f' || e == 'n' || e == 'r' || e == 't')
        return append_char(p, escaped(e)) ? 2 : SIZE_MAX;
    if (e != 'u' || n < 6) return 0;
    uint32_t unit = 0;
    for (size_t i = 2; i < 6; ++i) {
        const char h = s[i];
        if (!is_digit(h) && !((h >= 'a' && h <= 'f') || (h >= 'A' && h <= 'F'))) return 0;
        unit = (unit << 4) | uint32_t(hex_digit(s[i]));
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) return 0;
    return append_code_point(p, unit) ? 6 : SIZE_MAX;
}

// Whole tokens that the run holds, read without the table; 0 when none.
size_t read_token(cson_parser* p, const char* s, size_t n)
{
    const int state = p->state;
    const char c = s[0];
    if (c == '"' && (starts_value(state) || state == OB || state == KE)) return read_plain_string(p, s, n);
    if (c == '}' && (state == OK || state == OB)) return act(p, A_OBJECT_END, c) ? 1 : SIZE_MAX;
    if (c == ']' && (state == OK || state == AR)) return act(p, A_ARRAY_END, c) ? 1 : SIZE_MAX;
    if (!starts_value(state)) {
        if (state == CO && c == ':') {
            p->state = VA;
            return 1;
        }
        if (state == OK && c == ',' && p->modes[p->depth] != MODE_DONE) {
            p->state = p->modes[p->depth] == MODE_OBJECT ? KE : VA;
            return 1;
        }
        return 0;
    }
    if (c == '{') return act(p, A_OBJECT_BEGIN, c) ? 1 : SIZE_MAX;
    if (c == '[') return act(p, A_ARRAY_BEGIN, c) ? 1 : SIZE_MAX;
    if (c == '-' || is_digit(c)) return read_number(p, s, n);
    if (c == 't' || c == 'f' || c == 'n') return read_literal(p, s, n);
    return 0;
}

}  // namespace

KEEL_API bool cson_parser_chars(cson_parser* p, const char* text, size_t length, size_t* consumed)
{
    size_t i = 0;
    bool ok = p && !p->error && (text || !length);
    while (ok && i < length) {
        const int state = p->state;
        // Runs that need no table: plain string bytes, digits, blanks, whole tokens.
        if (state == ST) {
            size_t j = i;
            while (j < length) {
                const unsigned char b = static_cast<unsigned char>(text[j]);
                if (b == '"' || b == '\\' || b < 0x20) break;
                ++j;
            }
            if (j > i) {
                ok = append_text(p, text + i, j - i);
                i = j;
                continue;
            }
            const size_t taken = read_escape(p, text + i, length - i);
            if (taken == SIZE_MAX) {
                ok = false;
                break;
            }
            if (taken) {
                i += taken;
                continue;
            }
        } else if (state == IN || state == FR || state == E3) {
            size_t j = i;
            while (j < length && is_digit(text[j])) ++j;
            if (j > i) {
                ok = append_text(p, text + i, j - i);
                i = j;
                continue;
            }
        } else if (is_blank_state(state)) {
            while (i < length && (text[i] == ' ' || text[i] == '\n' || text[i] == '\t' || text[i] == '\r')) ++i;
            if (i == length) break;
            const size_t taken = read_token(p, text + i, length - i);
            if (taken == SIZE_MAX) {
                ok = false;
                break;
            }
            if (taken) {
                i += taken;
                continue;
            }
        }
        ok = step(p, static_cast<unsigned char>(text[i]));
        if (ok) ++i;
    }
    if (consumed) *consumed = i;
    return ok;
}

KEEL_API bool cson_parser_done(cson_parser* p)
{
    if (!p || p->error) return false;
    if (is_number_state(p->state)) {
        if (p->state == MI || p->state == F0 || p->state == E1 || p->state == E2)
            return refuse(p, cson_rc_Parse_INVALID_NUMBER);
        if (!end_number(p)) return false;
    }
    // An empty input is finished too; it just built nothing.
    if ((p->state == OK || p->state == GO) && p->depth == 0) return true;
    if (p->depth > 0) return refuse(p, cson_rc_Parse_UNBALANCED_COLLECTION);
    if (p->state >= T1 && p->state <= N3) return refuse(p, cson_rc_Parse_INVALID_KEYWORD);
    if (p->state == ES) return refuse(p, cson_rc_Parse_INVALID_ESCAPE_SEQUENCE);
    if ((p->state >= U1 && p->state <= U4) || p->state == D1 || p->state == D2)
        return refuse(p, cson_rc_Parse_INVALID_UNICODE_SEQUENCE);
    return false;  // nothing, or an unterminated string or comment
}

KEEL_API int cson_parser_error(const cson_parser* p) { return p ? p->error : cson_rc_ArgError; }
