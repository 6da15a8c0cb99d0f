#include "win/outlook.hpp"

#include "platform/object_ref.hpp"
#include "win/events.hpp"

namespace win {

namespace {

using platform::Date;
using platform::ItemPtr;
using platform::Subscription;

// The mail client's object classes of its two kinds of window.
constexpr std::int32_t kOlExplorer = 34;
constexpr std::int32_t kOlInspector = 35;

// Every adapter holds its object late-bound, and gives it back when passed to another call.
class Late {
public:
    explicit Late(ComPtr<IDispatch> object) : d_(std::move(object)) {}
    virtual ~Late() = default;
    const Dispatch& d() const { return d_; }

protected:
    Dispatch d_;
};

// The COM object behind one of our platform objects, to pass it back as an argument.
template <class T>
Variant object_arg(const std::shared_ptr<T>& object) {
    const auto* late = dynamic_cast<const Late*>(object.get());
    if (!late) platform::throw_object_not_set();
    return Variant(late->d().raw());
}

template <class Adapter>
std::shared_ptr<Adapter> wrap(ComPtr<IDispatch> object) {
    return object ? std::make_shared<Adapter>(std::move(object)) : nullptr;
}

template <class Adapter>
std::shared_ptr<Adapter> wrap_required(ComPtr<IDispatch> object) {
    if (!object) platform::throw_object_not_set();
    return std::make_shared<Adapter>(std::move(object));
}

// An event with a Cancel out-parameter last: the handler may set it.
Subscription advise_cancel(const Dispatch& d, const EventMember& event, std::function<void(bool&)> handler) {
    return advise(d.object(), event, [handler = std::move(handler)](const EventArgs& args) {
        bool cancel = args.count() > 0 && args.at(args.count() - 1).to_bool();
        handler(cancel);
        if (args.count() > 0) args.set_bool(args.count() - 1, cancel);
    });
}

Subscription advise_plain(const Dispatch& d, const EventMember& event, std::function<void()> handler) {
    return advise(d.object(), event, [handler = std::move(handler)](const EventArgs&) { handler(); });
}

class WinItem;
class WinInspector;
class WinFolder;

ItemPtr make_item(ComPtr<IDispatch> object);

// The window's kind by its object class; a window of another kind by its type's name.
std::string type_name_of(const Dispatch& d) {
    if (const auto cls = [&]() -> std::optional<std::int32_t> {
            try {
                return d.get_int("Class");
            } catch (const platform::PlatformError&) {
                return std::nullopt;
            }
        }()) {
        if (*cls == kOlExplorer) return "Explorer";
        if (*cls == kOlInspector) return "Inspector";
    }
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(d.raw()->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put())) && info) {
        BSTR name = nullptr;
        if (SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr))) {
            std::string text = narrow(name);
            SysFreeString(name);
            if (!text.empty() && text.front() == '_') text.erase(0, 1);
            return text;
        }
    }
    return "Object";
}

class WinItem final : public platform::Item, public Late {
public:
    using Late::Late;
    std::int32_t item_class() override { return d_.get_int("Class"); }
    std::string entry_id() override { return d_.get_string("EntryID"); }
    std::string subject() override { return d_.get_string("Subject"); }
    std::string body() override { return d_.get_string("Body"); }
    std::string html_body() override { return d_.get_string("HTMLBody"); }
    std::int32_t attachments_count() override { return Dispatch(d_.get_object("Attachments")).get_int("Count"); }
    bool unread() override { return d_.get_bool("UnRead"); }
    void set_unread(bool on) override { d_.put("UnRead", on); }
    std::int32_t flag_status() override { return d_.get_int("FlagStatus"); }
    void set_flag_status(std::int32_t status) override { d_.put("FlagStatus", status); }
    std::string flag_request() override { return d_.get_string("FlagRequest"); }
    void set_flag_request(std::string_view text) override { d_.put("FlagRequest", text); }

    std::string sender_name() override { return d_.get_string("SenderName"); }
    Date received_time() override { return d_.get("ReceivedTime").to_date(); }
    Date start() override { return d_.get("Start").to_date(); }
    bool all_day_event() override { return d_.get_bool("AllDayEvent"); }
    std::string full_name() override { return d_.get_string("FullName"); }
    std::string company_name() override { return d_.get_string("CompanyName"); }
    std::string home_telephone_number() override { return d_.get_string("HomeTelephoneNumber"); }
    std::string business_telephone_number() override { return d_.get_string("BusinessTelephoneNumber"); }
    Date last_modification_time() override { return d_.get("LastModificationTime").to_date(); }
    std::string type() override { return d_.get_string("Type"); }
    std::int32_t color() override { return d_.get_int("Color"); }
    std::string delegator() override { return d_.get_string("Delegator"); }
    std::string owner() override { return d_.get_string("Owner"); }
    Date due_date() override { return d_.get("DueDate").to_date(); }
    std::int32_t sensitivity() override { return d_.get_int("Sensitivity"); }
    std::int32_t importance() override { return d_.get_int("Importance"); }
    std::int32_t status() override { return d_.get_int("Status"); }
    std::int32_t percent_complete() override { return d_.get_int("PercentComplete"); }
    std::string organizer() override { return d_.get_string("Organizer"); }
    std::string required_attendees() override { return d_.get_string("RequiredAttendees"); }
    std::string optional_attendees() override { return d_.get_string("OptionalAttendees"); }
    std::string location() override { return d_.get_string("Location"); }

    void save() override { d_.call("Save"); }
    std::shared_ptr<platform::Inspector> get_inspector() override;
    void display() override { d_.call("Display"); }
    void close(std::int32_t save_mode) override { d_.call("Close", {save_mode}); }
    ItemPtr copy() override { return make_item(d_.call_object("Copy")); }
    void move(const std::shared_ptr<platform::Folder>& destination) override {
        d_.call("Move", {object_arg(destination)});
    }
    void delete_item() override { d_.call("Delete"); }
    void print_out() override { d_.call("PrintOut"); }
    ItemPtr forward() override { return make_item(d_.call_object("Forward")); }
    ItemPtr reply() override { return make_item(d_.call_object("Reply")); }
    ItemPtr reply_all() override { return make_item(d_.call_object("ReplyAll")); }
    ItemPtr get_associated_appointment(bool add_to_calendar) override {
        return make_item(d_.call_object("GetAssociatedAppointment", {add_to_calendar}));
    }
    ItemPtr get_associated_task(bool add_to_task_list) override {
        return make_item(d_.call_object("GetAssociatedTask", {add_to_task_list}));
    }
    ItemPtr respond(std::int32_t response, bool no_ui, bool additional_text_dialog) override {
        return make_item(d_.call_object("Respond", {response, no_ui, additional_text_dialog}));
    }

    Subscription on_close(std::function<void(bool&)> handler) override {
        return advise_cancel(d_, events::kItemClose, std::move(handler));
    }
    Subscription on_send(std::function<void(bool&)> handler) override {
        return advise_cancel(d_, events::kItemSendEvent, std::move(handler));
    }
};

ItemPtr make_item(ComPtr<IDispatch> object) { return wrap<WinItem>(std::move(object)); }

class WinItems final : public platform::Items, public Late {
public:
    using Late::Late;
    std::int32_t count() override { return d_.get_int("Count"); }
    void sort(std::string_view property, bool descending) override { d_.call("Sort", {property, descending}); }
    ItemPtr get_first() override { return make_item(d_.call_object("GetFirst")); }
    ItemPtr get_next() override { return make_item(d_.call_object("GetNext")); }
    ItemPtr get_previous() override { return make_item(d_.call_object("GetPrevious")); }
    ItemPtr get_last() override { return make_item(d_.call_object("GetLast")); }
    Subscription on_item_add(std::function<void(const ItemPtr&)> handler) override {
        return advise(d_.object(), events::kItemAdd, [handler = std::move(handler)](const EventArgs& args) {
            handler(make_item(args.at(0).to_object()));
        });
    }
    Subscription on_item_remove(std::function<void()> handler) override {
        return advise_plain(d_, events::kItemRemove, std::move(handler));
    }
};

class WinFolder final : public platform::Folder, public Late {
public:
    using Late::Late;
    std::string name() override { return d_.get_string("Name"); }
    std::shared_ptr<platform::Items> items() override { return wrap_required<WinItems>(d_.get_object("Items")); }
    std::int32_t unread_item_count() override { return d_.get_int("UnReadItemCount"); }
};

class WinFolders final : public platform::Folders, public Late {
public:
    using Late::Late;
    std::int32_t count() override { return d_.get_int("Count"); }
    Subscription on_folder_add(std::function<void(const platform::FolderPtr&)> handler) override {
        return advise(d_.object(), events::kFolderAdd, [handler = std::move(handler)](const EventArgs& args) {
            handler(wrap<WinFolder>(args.at(0).to_object()));
        });
    }
    Subscription on_folder_change(std::function<void(const platform::FolderPtr&)> handler) override {
        return advise(d_.object(), events::kFolderChange, [handler = std::move(handler)](const EventArgs& args) {
            handler(wrap<WinFolder>(args.at(0).to_object()));
        });
    }
    Subscription on_folder_remove(std::function<void()> handler) override {
        return advise_plain(d_, events::kFolderRemove, std::move(handler));
    }
};

class WinSelection final : public platform::Selection, public Late {
public:
    using Late::Late;
    std::int32_t count() override { return d_.get_int("Count"); }
    ItemPtr item(std::int32_t index) override { return make_item(d_.get_or_call("Item", {index}).to_object()); }
};

class WinWindow final : public platform::Window, public Late {
public:
    using Late::Late;
    std::string type_name() override { return type_name_of(d_); }
};

class WinButton final : public platform::CommandBarButton, public Late {
public:
    using Late::Late;
    std::string caption() override { return d_.get_string("Caption"); }
    void set_caption(std::string_view text) override { d_.put("Caption", text); }
    void set_begin_group(bool on) override { d_.put("BeginGroup", on); }
    void set_style(std::int32_t style) override { d_.put("Style", style); }
    std::int32_t state() override { return d_.get_int("State"); }
    void set_state(std::int32_t state) override { d_.put("State", state); }
    void set_tooltip_text(std::string_view text) override { d_.put("TooltipText", text); }
    std::int32_t left() override { return d_.get_int("Left"); }
    std::int32_t top() override { return d_.get_int("Top"); }
    Subscription on_click(std::function<void()> handler) override {
        return advise_plain(d_, events::kClick, std::move(handler));
    }
};

class WinControls final : public platform::CommandBarControls, public Late {
public:
    using Late::Late;
    std::shared_ptr<platform::CommandBarButton> item(std::string_view key) override {
        return wrap_required<WinButton>(d_.get_or_call("Item", {key}).to_object());
    }
    std::shared_ptr<platform::CommandBarButton> add(std::int32_t type, bool temporary) override {
        return wrap_required<WinButton>(
            d_.call_object("Add", {type, Variant::missing(), Variant::missing(), Variant::missing(), temporary}));
    }
};

class WinCommandBar final : public platform::CommandBar, public Late {
public:
    using Late::Late;
    std::shared_ptr<platform::CommandBarControls> controls() override {
        return wrap_required<WinControls>(d_.get_object("Controls"));
    }
};

class WinCommandBars final : public platform::CommandBars, public Late {
public:
    using Late::Late;
    std::shared_ptr<platform::CommandBar> item(std::string_view name) override {
        return wrap_required<WinCommandBar>(d_.get_or_call("Item", {name}).to_object());
    }
};

class WinExplorer final : public platform::Explorer, public Late {
public:
    using Late::Late;
    std::string type_name() override { return "Explorer"; }
    std::shared_ptr<platform::CommandBars> command_bars() override {
        return wrap_required<WinCommandBars>(d_.get_object("CommandBars"));
    }
    platform::FolderPtr current_folder() override { return wrap<WinFolder>(d_.get_object("CurrentFolder")); }
    std::shared_ptr<platform::Selection> selection() override { return wrap<WinSelection>(d_.get_object("Selection")); }
    std::string current_view() override { return d_.get_string("CurrentView"); }
    Subscription on_close(std::function<void()> handler) override {
        return advise_plain(d_, events::kExplorerClose, std::move(handler));
    }
    Subscription on_folder_switch(std::function<void()> handler) override {
        return advise_plain(d_, events::kFolderSwitch, std::move(handler));
    }
    Subscription on_selection_change(std::function<void()> handler) override {
        return advise_plain(d_, events::kSelectionChange, std::move(handler));
    }
    Subscription on_view_switch(std::function<void()> handler) override {
        return advise_plain(d_, events::kViewSwitch, std::move(handler));
    }
};

class WinInspector final : public platform::Inspector, public Late {
public:
    using Late::Late;
    std::string type_name() override { return "Inspector"; }
    ItemPtr current_item() override { return make_item(d_.get_object("CurrentItem")); }
    void activate() override { d_.call("Activate"); }
    void close(std::int32_t save_mode) override { d_.call("Close", {save_mode}); }
    Subscription on_close(std::function<void()> handler) override {
        return advise_plain(d_, events::kInspectorClose, std::move(handler));
    }
};

std::shared_ptr<platform::Inspector> WinItem::get_inspector() {
    return wrap<WinInspector>(d_.get_or_call("GetInspector").to_object());
}

class WinNameSpace final : public platform::NameSpace, public Late {
public:
    using Late::Late;
    std::shared_ptr<platform::Folders> folders() override {
        return wrap_required<WinFolders>(d_.get_object("Folders"));
    }
    // The current user is a recipient; its default property is the display name.
    std::string current_user() override {
        const Variant user = d_.get("CurrentUser");
        if (user.type() != VT_DISPATCH) return user.to_string();
        return Dispatch(user.to_object()).get_string("Name");
    }
    platform::FolderPtr get_default_folder(std::int32_t which) override {
        return wrap_required<WinFolder>(d_.call_object("GetDefaultFolder", {which}));
    }
    platform::FolderPtr pick_folder() override { return wrap<WinFolder>(d_.call_object("PickFolder")); }
};

class WinApplication final : public platform::Application, public Late {
public:
    using Late::Late;
    std::shared_ptr<platform::NameSpace> get_namespace(std::string_view type) override {
        return wrap_required<WinNameSpace>(d_.call_object("GetNamespace", {type}));
    }
    std::shared_ptr<platform::Explorer> active_explorer() override {
        return wrap<WinExplorer>(d_.call_object("ActiveExplorer"));
    }
    std::shared_ptr<platform::Inspector> active_inspector() override {
        return wrap<WinInspector>(d_.call_object("ActiveInspector"));
    }
    std::shared_ptr<platform::Window> active_window() override {
        auto window = d_.call_object("ActiveWindow");
        if (!window) return nullptr;
        const Dispatch d(window);
        const auto kind = type_name_of(d);
        if (kind == "Explorer") return std::make_shared<WinExplorer>(std::move(window));
        if (kind == "Inspector") return std::make_shared<WinInspector>(std::move(window));
        return std::make_shared<WinWindow>(std::move(window));
    }
    ItemPtr create_item(std::int32_t type) override { return make_item(d_.call_object("CreateItem", {type})); }

    Subscription on_new_mail(std::function<void()> handler) override {
        return advise_plain(d_, events::kNewMail, std::move(handler));
    }
    Subscription on_reminder(std::function<void(const ItemPtr&)> handler) override {
        return advise(d_.object(), events::kReminder, [handler = std::move(handler)](const EventArgs& args) {
            handler(make_item(args.at(0).to_object()));
        });
    }
    Subscription on_item_send(std::function<void(const ItemPtr&, bool&)> handler) override {
        return advise(d_.object(), events::kItemSend, [handler = std::move(handler)](const EventArgs& args) {
            bool cancel = args.count() > 1 && args.at(1).to_bool();
            handler(make_item(args.at(0).to_object()), cancel);
            if (args.count() > 1) args.set_bool(1, cancel);
        });
    }
    Subscription on_quit(std::function<void()> handler) override {
        return advise_plain(d_, events::kQuit, std::move(handler));
    }
};

}  // namespace

std::shared_ptr<platform::Application> make_application(ComPtr<IDispatch> application) {
    return wrap_required<WinApplication>(std::move(application));
}

std::shared_ptr<platform::NameSpace> make_namespace(ComPtr<IDispatch> name_space) {
    return wrap<WinNameSpace>(std::move(name_space));
}

IDispatch* dispatch_of(const platform::Application* application) {
    const auto* late = dynamic_cast<const Late*>(application);
    return late ? late->d().raw() : nullptr;
}

IDispatch* dispatch_of(const platform::NameSpace* name_space) {
    const auto* late = dynamic_cast<const Late*>(name_space);
    return late ? late->d().raw() : nullptr;
}

}  // namespace win
