#pragma once
// The application object and the single-document template.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/frame.h"
#include "platform/ui/resource.h"

namespace ui {

class Document : public CmdTarget {
public:
    virtual bool OnNewDocument() { return true; }
};

struct DocTemplate {
    int resourceId = 0;
    std::function<std::unique_ptr<Document>()> makeDocument;
    std::function<std::unique_ptr<Frame>()> makeFrame;
    std::function<std::unique_ptr<FormView>()> makeView;
};

enum class InitResult { Ok, Refused, Failed };

class App : public CmdTarget {
public:
    App(const ResourceSet& resources, std::vector<std::string> args);
    ~App() override;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The arguments as the back end leaves them, without the program's name.
    const std::vector<std::string>& Args() const { return args_; }
    const ResourceSet& Resources() const { return resources_; }

    virtual InitResult InitInstance() = 0;
    // Runs the loop through the back end; the exit status.
    int Run();

    void AddDocTemplate(DocTemplate tmpl) { template_ = std::move(tmpl); }
    // Creates document, frame and view; false when any fails.
    bool NewDocument();
    Frame* MainFrame() const { return frame_.get(); }
    Document* GetDocument() const { return doc_.get(); }
    FormView* View() const { return view_.get(); }
    // Destroys view, frame and document (the frame's Close).
    void CloseMainWindow();

private:
    const ResourceSet& resources_;
    std::vector<std::string> args_;
    DocTemplate template_;
    std::unique_ptr<Document> doc_;
    std::unique_ptr<Frame> frame_;
    std::unique_ptr<FormView> view_;
};

// The running application (for routing and boxes), or none.
App* CurrentApp();
// Resources of the running application, or an empty set.
const ResourceSet& CurrentResources();

}  // namespace ui
