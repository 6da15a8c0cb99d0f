#include "winsim/face.hpp"

#include <chrono>
#include <optional>

#include "platform/error.hpp"

namespace winsim {

namespace {

// The event interfaces and identifiers the platforms publish, written out here, never taken from
// the add-in's own tables: a wrong table there must show as a lost event.
constexpr IID kApplicationEvents = {0x0006304E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kExplorerEvents = {0x0006304F, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kInspectorEvents = {0x0006307D, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kItemEvents = {0x0006303A, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kItemsEvents = {0x00063077, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kFoldersEvents = {0x00063076, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kButtonEvents = {0x000C0351, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kAgentEvents = {0xF5BE8BD4, 0x7DE6, 0x11D0, {0x91, 0xFE, 0x00, 0xC0, 0x4F, 0xD7, 0x01, 0xA5}};

// The mail client's object classes of its two kinds of window.
constexpr std::int32_t kOlExplorer = 34;
constexpr std::int32_t kOlInspector = 35;

VARIANT object_arg(IDispatch* object) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

VARIANT bool_ref(VARIANT_BOOL* slot) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL | VT_BYREF;
    v.pboolVal = slot;
    return v;
}

VARIANT text_arg(BSTR text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return v;
}

Variant nothing() { return Variant(static_cast<IDispatch*>(nullptr)); }

Variant object_value(const ComPtr<Object>& object) { return object ? Variant(object->dispatch()) : nothing(); }

// Dates travel as days since 30 December 1899; the mail client keeps "no date" as 1 January 4501.
Variant date_value(const platform::Date& date) {
    using namespace std::chrono;
    constexpr auto kEpoch = local_days{year{1899} / December / 30};
    constexpr auto kNoDate = local_days{year{4501} / January / 1};
    const auto at = date ? *date : time_point_cast<seconds>(kNoDate);
    Variant v;
    v.get()->vt = VT_DATE;
    v.get()->date = static_cast<double>((at - kEpoch).count()) / 86400.0;
    return v;
}

bool given(const Args& a, std::size_t i) { return i < a.size() && a[i].type() != VT_ERROR; }

template <class T>
std::optional<T> optional_arg(const Args& a, std::size_t i, T (Variant::*read)() const) {
    if (!given(a, i)) return std::nullopt;
    return (a[i].*read)();
}

// A plain event: the simulator's subscription raises the published identifier on the object.
template <class Subscribe>
Object::Binder plain(const IID& events, DISPID id, Subscribe subscribe) {
    return [&events, id, subscribe](Object& o) { return subscribe([&o, &events, id] { o.raise(events, id, {}); }); };
}

ComPtr<Object> item_object(const platform::ItemPtr& item);
ComPtr<Object> folder_object(const platform::FolderPtr& folder);
ComPtr<Object> inspector_object(const std::shared_ptr<platform::Inspector>& inspector);

// An event whose last argument is a Cancel flag by reference, which the handler may set.
Object::Binder with_cancel(const IID& events, DISPID id,
                           std::function<platform::Subscription(std::function<void(bool&)>)> subscribe) {
    return [&events, id, subscribe](Object& o) {
        return subscribe([&o, &events, id](bool& cancel) {
            VARIANT_BOOL flag = cancel ? VARIANT_TRUE : VARIANT_FALSE;
            o.raise(events, id, {bool_ref(&flag)});
            cancel = flag != VARIANT_FALSE;
        });
    };
}

ComPtr<Object> item_object(const platform::ItemPtr& item) {
    if (!item) return {};
    auto o = Object::make(item);
    auto& i = *o.get();
    auto* p = item.get();  // the object holds the item as its payload
    auto text = [&i, p](const char* name, std::string (platform::Item::*read)()) {
        i.member(name, [p, read](Args&) { return Variant((p->*read)()); });
    };
    auto number = [&i, p](const char* name, std::int32_t (platform::Item::*read)()) {
        i.member(name, [p, read](Args&) { return Variant((p->*read)()); });
    };
    auto date = [&i, p](const char* name, platform::Date (platform::Item::*read)()) {
        i.member(name, [p, read](Args&) { return date_value((p->*read)()); });
    };
    number("Class", &platform::Item::item_class);
    text("EntryID", &platform::Item::entry_id);
    text("Subject", &platform::Item::subject);
    text("Body", &platform::Item::body);
    text("HTMLBody", &platform::Item::html_body);
    i.member("Attachments", [p](Args&) {
        auto attachments = Object::make();
        attachments->member("Count", [p](Args&) { return Variant(p->attachments_count()); });
        return Variant(attachments->dispatch());
    });
    i.member(
        "UnRead", [p](Args&) { return Variant(p->unread()); }, [p](const Variant& v) { p->set_unread(v.to_bool()); });
    i.member(
        "FlagStatus", [p](Args&) { return Variant(p->flag_status()); },
        [p](const Variant& v) { p->set_flag_status(v.to_int32()); });
    i.member(
        "FlagRequest", [p](Args&) { return Variant(p->flag_request()); },
        [p](const Variant& v) { p->set_flag_request(v.to_string()); });
    text("SenderName", &platform::Item::sender_name);
    date("ReceivedTime", &platform::Item::received_time);
    date("Start", &platform::Item::start);
    i.member("AllDayEvent", [p](Args&) { return Variant(p->all_day_event()); });
    text("FullName", &platform::Item::full_name);
    text("CompanyName", &platform::Item::company_name);
    text("HomeTelephoneNumber", &platform::Item::home_telephone_number);
    text("BusinessTelephoneNumber", &platform::Item::business_telephone_number);
    date("LastModificationTime", &platform::Item::last_modification_time);
    text("Type", &platform::Item::type);
    number("Color", &platform::Item::color);
    text("Delegator", &platform::Item::delegator);
    text("Owner", &platform::Item::owner);
    date("DueDate", &platform::Item::due_date);
    number("Sensitivity", &platform::Item::sensitivity);
    number("Importance", &platform::Item::importance);
    number("Status", &platform::Item::status);
    number("PercentComplete", &platform::Item::percent_complete);
    text("Organizer", &platform::Item::organizer);
    text("RequiredAttendees", &platform::Item::required_attendees);
    text("OptionalAttendees", &platform::Item::optional_attendees);
    text("Location", &platform::Item::location);

    i.action("Save", [p](Args&) { p->save(); });
    i.member("GetInspector", [p](Args&) { return object_value(inspector_object(p->get_inspector())); });
    i.action("Display", [p](Args&) { p->display(); });
    i.action("Close", [p](Args& a) { p->close(a.at(0).to_int32()); });
    i.member("Copy", [p](Args&) { return object_value(item_object(p->copy())); });
    i.member("Move", [p](Args& a) {
        auto destination = Object::payload_of<platform::Folder>(a.at(0).to_object().get());
        if (!destination) throw platform::PlatformError(13, "Type mismatch");
        p->move(destination);
        return Variant();
    });
    i.action("Delete", [p](Args&) { p->delete_item(); });
    i.action("PrintOut", [p](Args&) { p->print_out(); });
    i.member("Forward", [p](Args&) { return object_value(item_object(p->forward())); });
    i.member("Reply", [p](Args&) { return object_value(item_object(p->reply())); });
    i.member("ReplyAll", [p](Args&) { return object_value(item_object(p->reply_all())); });
    i.member("GetAssociatedAppointment",
             [p](Args& a) { return object_value(item_object(p->get_associated_appointment(a.at(0).to_bool()))); });
    i.member("GetAssociatedTask",
             [p](Args& a) { return object_value(item_object(p->get_associated_task(a.at(0).to_bool()))); });
    i.member("Respond", [p](Args& a) {
        return object_value(
            item_object(p->respond(a.at(0).to_int32(), given(a, 1) && a[1].to_bool(), given(a, 2) && a[2].to_bool())));
    });
    i.source(kItemEvents, [p](Object& self) {
        auto close = with_cancel(kItemEvents, 0xF004, [p](auto h) { return p->on_close(std::move(h)); })(self);
        auto send = with_cancel(kItemEvents, 0xF005, [p](auto h) { return p->on_send(std::move(h)); })(self);
        return platform::Subscription([close = std::make_shared<platform::Subscription>(std::move(close)),
                                       send = std::make_shared<platform::Subscription>(std::move(send))] {});
    });
    return o;
}

ComPtr<Object> items_object(const std::shared_ptr<platform::Items>& items) {
    if (!items) return {};
    auto o = Object::make(items);
    auto* p = items.get();
    o->member("Count", [p](Args&) { return Variant(p->count()); });
    o->action("Sort", [p](Args& a) { p->sort(a.at(0).to_string(), given(a, 1) && a[1].to_bool()); });
    o->member("GetFirst", [p](Args&) { return object_value(item_object(p->get_first())); });
    o->member("GetNext", [p](Args&) { return object_value(item_object(p->get_next())); });
    o->member("GetPrevious", [p](Args&) { return object_value(item_object(p->get_previous())); });
    o->member("GetLast", [p](Args&) { return object_value(item_object(p->get_last())); });
    o->source(kItemsEvents, [p](Object& self) {
        auto add = std::make_shared<platform::Subscription>(p->on_item_add([&self](const platform::ItemPtr& item) {
            auto added = item_object(item);
            self.raise(kItemsEvents, 0xF001, {object_arg(added ? added->dispatch() : nullptr)});
        }));
        auto remove = std::make_shared<platform::Subscription>(
            plain(kItemsEvents, 0xF003, [p](auto h) { return p->on_item_remove(std::move(h)); })(self));
        return platform::Subscription([add, remove] {});
    });
    return o;
}

ComPtr<Object> folder_object(const platform::FolderPtr& folder) {
    if (!folder) return {};
    auto o = Object::make(folder);
    auto* p = folder.get();
    o->member("Name", [p](Args&) { return Variant(p->name()); });
    o->member("Items", [p](Args&) { return object_value(items_object(p->items())); });
    o->member("UnReadItemCount", [p](Args&) { return Variant(p->unread_item_count()); });
    return o;
}

ComPtr<Object> folders_object(const std::shared_ptr<platform::Folders>& folders) {
    if (!folders) return {};
    auto o = Object::make(folders);
    auto* p = folders.get();
    o->member("Count", [p](Args&) { return Variant(p->count()); });
    o->source(kFoldersEvents, [p](Object& self) {
        auto with_folder = [&self](DISPID id) {
            return [&self, id](const platform::FolderPtr& folder) {
                auto f = folder_object(folder);
                self.raise(kFoldersEvents, id, {object_arg(f ? f->dispatch() : nullptr)});
            };
        };
        auto add = std::make_shared<platform::Subscription>(p->on_folder_add(with_folder(0xF001)));
        auto change = std::make_shared<platform::Subscription>(p->on_folder_change(with_folder(0xF002)));
        auto remove = std::make_shared<platform::Subscription>(
            plain(kFoldersEvents, 0xF003, [p](auto h) { return p->on_folder_remove(std::move(h)); })(self));
        return platform::Subscription([add, change, remove] {});
    });
    return o;
}

ComPtr<Object> selection_object(const std::shared_ptr<platform::Selection>& selection) {
    if (!selection) return {};
    auto o = Object::make(selection);
    auto* p = selection.get();
    o->member("Count", [p](Args&) { return Variant(p->count()); });
    o->member("Item", [p](Args& a) { return object_value(item_object(p->item(a.at(0).to_int32()))); });
    return o;
}

ComPtr<Object> button_object(const std::shared_ptr<platform::CommandBarButton>& button) {
    if (!button) return {};
    auto o = Object::make(button);
    auto* p = button.get();
    o->member(
        "Caption", [p](Args&) { return Variant(p->caption()); },
        [p](const Variant& v) { p->set_caption(v.to_string()); });
    o->member("BeginGroup", {}, [p](const Variant& v) { p->set_begin_group(v.to_bool()); });
    o->member("Style", {}, [p](const Variant& v) { p->set_style(v.to_int32()); });
    o->member(
        "State", [p](Args&) { return Variant(p->state()); }, [p](const Variant& v) { p->set_state(v.to_int32()); });
    o->member("TooltipText", {}, [p](const Variant& v) { p->set_tooltip_text(v.to_string()); });
    o->member("Left", [p](Args&) { return Variant(p->left()); });
    o->member("Top", [p](Args&) { return Variant(p->top()); });
    o->source(kButtonEvents, [p](Object& self) {
        return p->on_click([&self] {
            VARIANT_BOOL cancel_default = VARIANT_FALSE;
            self.raise(kButtonEvents, 1, {object_arg(self.dispatch()), bool_ref(&cancel_default)});
        });
    });
    return o;
}

ComPtr<Object> command_bars_object(const std::shared_ptr<platform::CommandBars>& bars) {
    if (!bars) return {};
    auto o = Object::make(bars);
    auto* p = bars.get();
    o->member("Item", [p](Args& a) {
        auto bar = p->item(a.at(0).to_string());
        auto b = Object::make(bar);
        b->member("Controls", [bar](Args&) {
            auto controls = bar->controls();
            auto c = Object::make(controls);
            c->member("Item",
                      [controls](Args& a) { return object_value(button_object(controls->item(a.at(0).to_string()))); });
            // Add(Type, Id, Parameter, Before, Temporary)
            c->member("Add", [controls](Args& a) {
                return object_value(
                    button_object(controls->add(given(a, 0) ? a[0].to_int32() : 1, given(a, 4) && a[4].to_bool())));
            });
            return Variant(c->dispatch());
        });
        return Variant(b->dispatch());
    });
    return o;
}

// A window's members common to both kinds, and its class.
ComPtr<Object> inspector_object(const std::shared_ptr<platform::Inspector>& inspector) {
    if (!inspector) return {};
    auto o = Object::make(inspector);
    auto* p = inspector.get();
    o->member("Class", [](Args&) { return Variant(kOlInspector); });
    o->member("CurrentItem", [p](Args&) { return object_value(item_object(p->current_item())); });
    o->action("Activate", [p](Args&) { p->activate(); });
    o->action("Close", [p](Args& a) { p->close(a.at(0).to_int32()); });
    o->source(kInspectorEvents, plain(kInspectorEvents, 0xF008, [p](auto h) { return p->on_close(std::move(h)); }));
    return o;
}

ComPtr<Object> explorer_object(const std::shared_ptr<platform::Explorer>& explorer) {
    if (!explorer) return {};
    auto o = Object::make(explorer);
    auto* p = explorer.get();
    o->member("Class", [](Args&) { return Variant(kOlExplorer); });
    o->member("CommandBars", [p](Args&) { return object_value(command_bars_object(p->command_bars())); });
    o->member("CurrentFolder", [p](Args&) { return object_value(folder_object(p->current_folder())); });
    o->member("Selection", [p](Args&) { return object_value(selection_object(p->selection())); });
    o->member("CurrentView", [p](Args&) { return Variant(p->current_view()); });
    o->source(kExplorerEvents, [p](Object& self) {
        auto bind = [&self](DISPID id, auto subscribe) {
            return std::make_shared<platform::Subscription>(plain(kExplorerEvents, id, subscribe)(self));
        };
        auto folder = bind(0xF002, [p](auto h) { return p->on_folder_switch(std::move(h)); });
        auto view = bind(0xF004, [p](auto h) { return p->on_view_switch(std::move(h)); });
        auto selection = bind(0xF007, [p](auto h) { return p->on_selection_change(std::move(h)); });
        auto close = bind(0xF008, [p](auto h) { return p->on_close(std::move(h)); });
        return platform::Subscription([folder, view, selection, close] {});
    });
    return o;
}

ComPtr<Object> window_object(const std::shared_ptr<platform::Window>& window) {
    if (!window) return {};
    if (auto explorer = std::dynamic_pointer_cast<platform::Explorer>(window)) return explorer_object(explorer);
    if (auto inspector = std::dynamic_pointer_cast<platform::Inspector>(window)) return inspector_object(inspector);
    return Object::make(window);  // a window of another kind: no class the add-in knows
}

ComPtr<Object> namespace_object(const std::shared_ptr<platform::NameSpace>& name_space) {
    if (!name_space) return {};
    auto o = Object::make(name_space);
    auto* p = name_space.get();
    o->member("Folders", [p](Args&) { return object_value(folders_object(p->folders())); });
    o->member("CurrentUser", [p](Args&) {
        // A recipient, whose default property is its display name.
        auto user = Object::make();
        const auto name = p->current_user();
        user->member("Name", [name](Args&) { return Variant(name); });
        return Variant(user->dispatch());
    });
    o->member("GetDefaultFolder",
              [p](Args& a) { return object_value(folder_object(p->get_default_folder(a.at(0).to_int32()))); });
    o->member("PickFolder", [p](Args&) { return object_value(folder_object(p->pick_folder())); });
    return o;
}

// The character control's objects.

ComPtr<Object> request_object(const platform::RequestPtr& request) {
    if (!request) return {};
    auto o = Object::make(request);
    auto* p = request.get();
    o->member("ID", [p](Args&) { return Variant(p->id()); });
    o->member("Status", [p](Args&) { return Variant(p->status()); });
    return o;
}

ComPtr<Object> command_object(const std::shared_ptr<platform::AgentCommand>& command) {
    if (!command) return {};
    auto o = Object::make(command);
    auto* p = command.get();
    o->member(
        "Enabled", [p](Args&) { return Variant(p->enabled()); },
        [p](const Variant& v) { p->set_enabled(v.to_bool()); });
    o->member(
        "Visible", [p](Args&) { return Variant(p->visible()); },
        [p](const Variant& v) { p->set_visible(v.to_bool()); });
    return o;
}

ComPtr<Object> commands_object(const std::shared_ptr<platform::AgentCommands>& commands) {
    auto o = Object::make(commands);
    auto* p = commands.get();
    o->member("Caption", {}, [p](const Variant& v) { p->set_caption(v.to_string()); });
    o->member("VoiceCaption", {}, [p](const Variant& v) { p->set_voice_caption(v.to_string()); });
    o->member("Voice", {}, [p](const Variant& v) { p->set_voice(v.to_string()); });
    // Add(Name, Caption, Voice, Enabled, Visible)
    o->member("Add", [p](Args& a) {
        return object_value(command_object(p->add(
            a.at(0).to_string(), optional_arg(a, 1, &Variant::to_string), optional_arg(a, 2, &Variant::to_string),
            optional_arg(a, 3, &Variant::to_bool), optional_arg(a, 4, &Variant::to_bool))));
    });
    o->member("Command", [p](Args& a) { return object_value(command_object(p->item(a.at(0).to_string()))); });
    return o;
}

Variant request_result(const platform::RequestPtr& request) { return object_value(request_object(request)); }

ComPtr<Object> character_object(const std::shared_ptr<platform::Character>& character) {
    auto o = Object::make(character);
    auto* p = character.get();
    auto position = [](const Args& a, std::size_t i) { return a.at(i).to_int16(); };
    o->member("Show", [p](Args&) { return request_result(p->show()); });
    o->member("Hide", [p](Args&) { return request_result(p->hide()); });
    o->member("Play", [p](Args& a) { return request_result(p->play(a.at(0).to_string())); });
    o->member("Speak", [p](Args& a) { return request_result(p->speak(a.at(0).to_string())); });
    o->member("Think", [p](Args& a) { return request_result(p->think(a.at(0).to_string())); });
    o->member("MoveTo", [p, position](Args& a) { return request_result(p->move_to(position(a, 0), position(a, 1))); });
    o->member("GestureAt",
              [p, position](Args& a) { return request_result(p->gesture_at(position(a, 0), position(a, 1))); });
    o->member("Stop", [p](Args& a) {
        auto request = Object::payload_of<platform::Request>(a.at(0).to_object().get());
        if (!request) throw platform::PlatformError(13, "Type mismatch");
        p->stop(request);
        return Variant();
    });
    o->action("StopAll", [p](Args&) { p->stop_all(); });
    o->member("Listen", [p](Args& a) { return Variant(p->listen(a.at(0).to_bool())); });
    o->member("Name", [p](Args&) { return Variant(p->name()); });
    o->member(
        "Left", [p](Args&) { return Variant(std::int32_t{p->left()}); },
        [p](const Variant& v) { p->set_left(v.to_int16()); });
    o->member(
        "Top", [p](Args&) { return Variant(std::int32_t{p->top()}); },
        [p](const Variant& v) { p->set_top(v.to_int16()); });
    o->member("Commands", [p](Args&) { return Variant(commands_object(p->commands())->dispatch()); });
    return o;
}

}  // namespace

ComPtr<Object> application_object(const std::shared_ptr<platform::Application>& application) {
    auto o = Object::make(application);
    auto* p = application.get();
    o->member("GetNamespace",
              [p](Args& a) { return object_value(namespace_object(p->get_namespace(a.at(0).to_string()))); });
    o->member("ActiveExplorer", [p](Args&) { return object_value(explorer_object(p->active_explorer())); });
    o->member("ActiveInspector", [p](Args&) { return object_value(inspector_object(p->active_inspector())); });
    o->member("ActiveWindow", [p](Args&) { return object_value(window_object(p->active_window())); });
    o->member("CreateItem", [p](Args& a) { return object_value(item_object(p->create_item(a.at(0).to_int32()))); });
    o->source(kApplicationEvents, [p](Object& self) {
        auto send = std::make_shared<platform::Subscription>(p->on_item_send([&self](const platform::ItemPtr& item,
                                                                                     bool& cancel) {
            auto sent = item_object(item);
            VARIANT_BOOL flag = cancel ? VARIANT_TRUE : VARIANT_FALSE;
            self.raise(kApplicationEvents, 0xF002, {object_arg(sent ? sent->dispatch() : nullptr), bool_ref(&flag)});
            cancel = flag != VARIANT_FALSE;
        }));
        auto mail = std::make_shared<platform::Subscription>(
            plain(kApplicationEvents, 0xF003, [p](auto h) { return p->on_new_mail(std::move(h)); })(self));
        auto reminder = std::make_shared<platform::Subscription>(p->on_reminder([&self](const platform::ItemPtr& item) {
            auto due = item_object(item);
            self.raise(kApplicationEvents, 0xF004, {object_arg(due ? due->dispatch() : nullptr)});
        }));
        auto quit = std::make_shared<platform::Subscription>(
            plain(kApplicationEvents, 0xF007, [p](auto h) { return p->on_quit(std::move(h)); })(self));
        return platform::Subscription([send, mail, reminder, quit] {});
    });
    return o;
}

ComPtr<Object> agent_control_object(platform::AgentControl& control, ComPtr<ITypeInfo> described) {
    auto o = Object::make();
    auto* p = &control;
    o->member("Connected", {}, [p](const Variant& v) { p->set_connected(v.to_bool()); });
    o->member("Characters", [p](Args&) {
        auto characters = Object::make();
        characters->action("Load", [p](Args& a) { p->characters_load(a.at(0).to_string()); });
        characters->action("Unload", [p](Args& a) { p->characters_unload(a.at(0).to_string()); });
        characters->member("Character", [p](Args& a) {
            return Variant(character_object(p->character(a.at(0).to_string()))->dispatch());
        });
        return Variant(characters->dispatch());
    });
    o->member("SpeechInput", [p](Args&) {
        auto speech = Object::make();
        speech->member("HotKey", [p](Args&) { return Variant(p->speech_input_hot_key()); });
        return Variant(speech->dispatch());
    });
    o->member("PropertySheet", [p](Args&) {
        auto sheet = Object::make();
        sheet->member("Visible", {}, [p](const Variant& v) { p->set_property_sheet_visible(v.to_bool()); });
        return Variant(sheet->dispatch());
    });
    o->action("ShowDefaultCharacterProperties", [p](Args&) { p->show_default_character_properties(); });
    // _AgentEvents: RequestComplete 11, Command 17, ListenStart 27, ListenComplete 28.
    o->source(kAgentEvents, [p](Object& self) {
        auto complete =
            std::make_shared<platform::Subscription>(p->on_request_complete([&self](const platform::RequestPtr& r) {
                auto request = request_object(r);
                self.raise(kAgentEvents, 11, {object_arg(request ? request->dispatch() : nullptr)});
            }));
        auto command =
            std::make_shared<platform::Subscription>(p->on_command([&self](const platform::UserInput& heard) {
                auto input = Object::make();
                input->member("Name", [name = heard.name](Args&) { return Variant(name); });
                input->member("Voice", [voice = heard.voice](Args&) { return Variant(voice); });
                input->member("Confidence", [](Args&) { return Variant(std::int32_t{0}); });
                self.raise(kAgentEvents, 17, {object_arg(input->dispatch())});
            }));
        auto start = std::make_shared<platform::Subscription>(p->on_listen_start([&self](const std::string& id) {
            win::Bstr character(id);
            self.raise(kAgentEvents, 27, {text_arg(character.get())});
        }));
        auto done = std::make_shared<platform::Subscription>(
            p->on_listen_complete([&self](const std::string& id, std::int32_t cause) {
                win::Bstr character(id);
                VARIANT why;
                VariantInit(&why);
                why.vt = VT_I2;
                why.iVal = static_cast<SHORT>(cause);
                self.raise(kAgentEvents, 28, {text_arg(character.get()), why});
            }));
        return platform::Subscription([complete, command, start, done] {});
    });
    if (described) o->class_info(std::move(described));
    return o;
}

}  // namespace winsim
