// Parsing and writing one generated document of several MB with keelcore's
// JSON library, against nlohmann-json and RapidJSON in the same run.
#include "bench/support/timing.h"
#include "json/parser.h"
#include "json/writer.h"

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kRecords = 20000;

// Deterministic: records of numbers, strings with escapes, arrays and nested objects.
std::string make_document()
{
    static const char* const kWords[] = {"kart", "planet", "lap", "boost", "drift", "zorb", "rally", "track"};
    std::string doc = "{\"version\":3,\"records\":[";
    char number[64];
    for (int i = 0; i < kRecords; ++i) {
        if (i) doc += ',';
        const unsigned h = unsigned(i) * 2654435761u;
        doc += "{\"id\":" + std::to_string(i);
        doc += ",\"name\":\"";
        doc += kWords[h % 8];
        doc += " \\\"";
        doc += kWords[(h >> 3) % 8];
        doc += "\\\" no.\\t" + std::to_string(h % 1000) + "\\n\\u00e9\xc3\xa9 \\\\ end\"";
        snprintf(number, sizeof(number), ",\"score\":%.6f,\"speed\":%.3e,\"delta\":-%u", (h % 100000) / 37.0,
                 (h % 9973) * 1.5e3, h % 4096);
        doc += number;
        doc += ",\"active\":";
        doc += (h & 1) ? "true" : "false";
        doc += ",\"owner\":null,\"tags\":[";
        for (unsigned t = 0; t < 1 + h % 4; ++t) {
            if (t) doc += ',';
            doc += "\"";
            doc += kWords[(h >> (t * 4)) % 8];
            doc += "\"";
        }
        snprintf(number, sizeof(number), "],\"pos\":{\"x\":%.4f,\"y\":%.4f,\"z\":%d}", (h % 2000) / 3.0 - 300.0,
                 (h % 777) / 7.0, int(h % 50) - 25);
        doc += number;
        doc += ",\"laps\":[";
        for (unsigned l = 0; l < 5; ++l) {
            if (l) doc += ',';
            doc += std::to_string(60000 + (h >> l) % 9000);
        }
        doc += "]}";
    }
    doc += "]}";
    return doc;
}

double megabytes_per_second(size_t bytes, double seconds) { return double(bytes) / 1e6 / seconds; }

}  // namespace

int main()
{
    const std::string doc = make_document();

    // Every parser must accept it, and each writer's output is measured by the
    // size it writes.
    cson_value* ours = nullptr;
    if (cson_parse_string(&ours, doc.data(), unsigned(doc.size()), nullptr, nullptr) != 0) {
        printf("ERROR: keelcore could not parse the document\n");
        return 1;
    }
    const nlohmann::json theirs = nlohmann::json::parse(doc);
    rapidjson::Document rapid;
    rapid.Parse(doc.c_str(), doc.size());
    if (rapid.HasParseError()) {
        printf("ERROR: RapidJSON could not parse the document\n");
        return 1;
    }

    const double parse_ours = median_seconds([&] {
        cson_value* v = nullptr;
        cson_parse_string(&v, doc.data(), unsigned(doc.size()), nullptr, nullptr);
        cson_value_free(v);
    });
    const double parse_nlohmann = median_seconds([&] { nlohmann::json j = nlohmann::json::parse(doc); });
    const double parse_rapid = median_seconds([&] {
        rapidjson::Document d;
        d.Parse(doc.c_str(), doc.size());
    });

    size_t written_ours = 0;
    const cson_output_opt compact{0, 0, false, false, false, false};
    const double write_ours = median_seconds([&] {
        cson_buffer buffer{nullptr, 0, 0};
        cson_output_buffer(ours, &buffer, &compact);
        written_ours = buffer.used;
        cson_buffer_clear(&buffer);
    });
    size_t written_nlohmann = 0;
    const double write_nlohmann = median_seconds([&] { written_nlohmann = theirs.dump().size(); });
    size_t written_rapid = 0;
    const double write_rapid = median_seconds([&] {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        rapid.Accept(writer);
        written_rapid = buffer.GetSize();
    });
    cson_value_free(ours);

    const double p_ours = megabytes_per_second(doc.size(), parse_ours);
    const double p_nlohmann = megabytes_per_second(doc.size(), parse_nlohmann);
    const double p_rapid = megabytes_per_second(doc.size(), parse_rapid);
    const double w_ours = megabytes_per_second(written_ours, write_ours);
    const double w_nlohmann = megabytes_per_second(written_nlohmann, write_nlohmann);
    const double w_rapid = megabytes_per_second(written_rapid, write_rapid);
    print_ratio("json parse vs nlohmann-json", p_ours, "MB/s", p_nlohmann, "MB/s nlohmann-json");
    print_ratio("json parse vs RapidJSON", p_ours, "MB/s", p_rapid, "MB/s RapidJSON");
    print_ratio("json write vs nlohmann-json", w_ours, "MB/s", w_nlohmann, "MB/s nlohmann-json");
    print_ratio("json write vs RapidJSON", w_ours, "MB/s", w_rapid, "MB/s RapidJSON");
    return 0;
}
