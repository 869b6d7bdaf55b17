// Reading and writing a large tree document, against pugixml parsing and
// saving the equivalent XML document in the same run.

#include "RatioReporter.h"
#include "TZunPigger.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

// About 20 MB of text: 2,000 groups of 10 items of 9 parts (some 200,000
// elements), three levels deep under the root, with attribute values and
// text that hold characters both formats must escape.
class BenchDocument {
public:
    BenchDocument() {
        std::mt19937 random(7);
        tree.SetName("CATALOG");
        tree.SetAttribute("VERSION", "3");
        for (int g = 0; g < 2000; ++g) {
            auto* group = new TZunPigger(&tree);
            group->SetName("GROUP");
            group->SetAttribute("ID", std::to_string(100000 + g));
            group->SetAttribute("TITLE", Phrase(random, 6));
            for (int i = 0; i < 10; ++i) {
                auto* item = new TZunPigger(group);
                item->SetName("ITEM");
                item->SetAttribute("ID", std::to_string(g * 10 + i));
                item->SetAttribute("SCALE", "54-mm");
                item->Text = Phrase(random, 8);
                for (int p = 0; p < 9; ++p) {
                    auto* part = new TZunPigger(item);
                    part->SetName("PART");
                    part->SetAttribute("N", std::to_string(p));
                    part->SetAttribute("NOTE", Phrase(random, 7));
                    if (p % 3 == 0)
                        part->Text = Phrase(random, 5);
                }
            }
        }
        text = tree.SaveToString();
        CopyTo(tree, xml);
        StringWriter writer;
        xml.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
        xmlText = std::move(writer.text);
    }

    TZunPigger tree;
    std::string text;
    pugi::xml_document xml;
    std::string xmlText;

private:
    static std::string Phrase(std::mt19937& random, int words) {
        static const char* const Words[] = {"prime",  "coat",  "<thin>", "\"heroic\"", "50%",
                                            "layers", "wash",  "dry",    "brush",      "lead",
                                            "resin",  "a&b",   "base",   "highlight",  "glaze",
                                            "cloak",  "horse", "sabre",  "tunic",      "face"};
        std::string phrase;
        for (int w = 0; w < words; ++w) {
            if (w > 0)
                phrase += ' ';
            phrase += Words[random() % 20];
        }
        return phrase;
    }

    static void CopyTo(const TZunPigger& element, pugi::xml_node parent) {
        pugi::xml_node node = parent.append_child(element.Name().c_str());
        for (int i = 0; i < element.AttributeCount(); ++i)
            node.append_attribute(element.AttributeNameAt(i).c_str())
                .set_value(element.AttributeValueAt(i).c_str());
        if (!element.Text.empty())
            node.append_child(pugi::node_pcdata).set_value(element.Text.c_str());
        for (int i = 0; i < element.ChildCount(); ++i)
            CopyTo(*element.Child(i), node);
    }
};

const BenchDocument& Document() {
    static const BenchDocument document;
    return document;
}

void BM_TreeRead(benchmark::State& state) {
    const BenchDocument& document = Document();
    for (auto _ : state) {
        TZunPigger tree;
        tree.LoadFromString(document.text);
        benchmark::DoNotOptimize(tree.ChildCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document.text.size()));
}

void BM_PugixmlParse(benchmark::State& state) {
    const BenchDocument& document = Document();
    for (auto _ : state) {
        pugi::xml_document xml;
        const pugi::xml_parse_result result =
            xml.load_buffer(document.xmlText.data(), document.xmlText.size());
        if (!result)
            state.SkipWithError(result.description());
        benchmark::DoNotOptimize(xml.first_child());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document.xmlText.size()));
}

void BM_TreeWrite(benchmark::State& state) {
    const BenchDocument& document = Document();
    for (auto _ : state) {
        std::string text = document.tree.SaveToString();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document.text.size()));
}

void BM_PugixmlSave(benchmark::State& state) {
    const BenchDocument& document = Document();
    for (auto _ : state) {
        StringWriter writer;
        document.xml.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
        benchmark::DoNotOptimize(writer.text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document.xmlText.size()));
}

BENCHMARK(BM_TreeRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PugixmlParse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TreeWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PugixmlSave)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    const BenchDocument& document = Document();
    std::printf("tree document: %zu bytes; equivalent XML: %zu bytes\n", document.text.size(),
                document.xmlText.size());
    return RatioReporter::Main(argc, argv,
                               {{"read vs pugixml parse", "BM_TreeRead", "BM_PugixmlParse", 0.5},
                                {"write vs pugixml save", "BM_TreeWrite", "BM_PugixmlSave", 0.7}});
}
