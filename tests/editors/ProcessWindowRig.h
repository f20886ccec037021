// The setup window's logic over a recording view, a real setup database in a fresh
// folder and an in-memory instrument (the simulator's responder) on the link.
#pragma once

#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "editors/ProcessWindowLogic.h"
#include "setup/DatabaseRig.h"
#include "setup/LayerChains.h"
#include "sim/Responder.h"
#include "support/LinkRig.h"

namespace delvar::testing {

using namespace delvar::editors;

struct RecordingView final : ProcessWindowView {
    std::string caption;
    std::vector<TreeNode> tree;
    std::vector<bool> expanded;
    TransferChecks checks;
    bool transfers = false;
    Pending pending = Pending::None;

    void SetCaption(const std::string& c) override { caption = c; }
    std::vector<bool> ExpandedNodes() const override { return expanded; }
    void ShowTree(const std::vector<TreeNode>& t, const std::vector<bool>& e,
                  const std::string&) override {
        tree = t;
        expanded = e;
    }
    void SetChecks(const TransferChecks& c) override { checks = c; }
    void EnableTransfers(bool on) override { transfers = on; }
    void ShowPending(Pending p) override { pending = p; }
    void SetNotice(const std::string& text, bool) override { notice = text; }
    std::string notice;
};

// The scripted dialogs, with the file dialogs recorded.
struct TypingDialogs final : core::DialogService {
    explicit TypingDialogs(ScriptedDialogs& shown) : shown(shown) {}
    core::MessageAnswer ShowMessage(const core::Message& m) override {
        return shown.ShowMessage(m);
    }
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override {
        return shown.AskText(prompt, title, initial);
    }
    std::optional<std::string> AskOpenFile(const std::string& t, const std::string& f,
                                           const std::string& i) override {
        files.push_back("open " + f + " " + i);
        return shown.AskOpenFile(t, f, i);
    }
    std::optional<std::string> AskSaveFile(const core::FileRequest& request) override {
        files.push_back("save " + request.filter + " " + request.initial);
        return shown.AskSaveFile(request);
    }
    using DialogService::AskSaveFile;
    ScriptedDialogs& shown;
    std::vector<std::string> files;  // "open|save filter initial"
};

struct ProcessWindowRig : DatabaseRig {
    LinkRig line;
    sim::Responder instrument{sim::InstrumentModel{}};
    long answersLeft = std::numeric_limits<long>::max();  // then the instrument falls silent
    TypingDialogs asks{dialogs};
    app::AppSettings settings;
    RecordingView view;
    std::vector<std::string> opened;  // editor number, current process, layer and film
    std::unique_ptr<ProcessWindowLogic> window;

    ProcessWindowRig() {
        line.link.MutableInfo().ChannelCount = 4;
        AnswerOn(line.tcp, [this](const std::string& command) {
            if (answersLeft-- <= 0) return Answer{0, ""};
            const sim::Reply reply = instrument.Respond(command);
            return Answer{reply.status, reply.data};
        });
    }

    ProcessWindowLogic& Open(int source = 0) {
        EditorOpenerTable openers;
        for (Editor e : {Editor::Layer, Editor::Film, Editor::Sensors, Editor::Logic})
            openers[std::size_t(e)] = [this, e](EditorContext& c) {
                opened.push_back(std::to_string(int(e)) + " P" + std::to_string(c.currentProcess) +
                                 " L" + std::to_string(c.currentLayer) + " F" +
                                 std::to_string(c.currentFilm));
            };
        window = std::make_unique<ProcessWindowLogic>(
            ProcessWindowServices{line.link, *data, db, asks, progress, settings,
                                  folder.path.string()},
            openers, view, source);
        window->Open();
        return *window;
    }

    const TreeNode* Node(const std::string& key) const {
        const std::function<const TreeNode*(const std::vector<TreeNode>&)> find = [&](auto& nodes) {
            const TreeNode* found = nullptr;
            for (auto it = nodes.begin(); !found && it != nodes.end(); ++it)
                found = it->key == key ? &*it : find(it->children);
            return found;
        };
        return find(view.tree);
    }
    void Click(const std::string& key) {
        const TreeNode* node = Node(key);
        ASSERT_NE(node, nullptr) << key;
        window->NodeClicked(key, node->text);
    }
    // "layer:text" of each layer node of process p.
    std::vector<std::string> Layers(int p) const {
        std::vector<std::string> layers;
        for (const TreeNode& l : view.tree.at(std::size_t(p - 1)).children)
            layers.push_back(l.key.substr(1, l.key.find(',') - 1) + ":" + l.text);
        return layers;
    }
};

}  // namespace delvar::testing
