// Lua 5.4's adapters: a host that compiles and runs each chunk (luaL_loadbufferx + lua_pcall), or
// for a prepared workload compiles it once and keeps the function to call again (lua_pcall), shares variables as globals and substitutes with string.gsub and a table of values. Every
// adapter has a Lua state of its own, kept for all its calls.
//
// The locked peer is the same host sharing its state between threads: each of its calls takes
// a lock around the Lua calls, with the guarantees of regscript's store lock, recursive and a wait
// bounded at 1000 ms.
#include <lua.hpp>

#include <chrono>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "engine_runners.h"

namespace {

class LuaState {
public:
    LuaState() : state_(luaL_newstate()) {
        if (!state_) throw std::bad_alloc();
        luaL_openlibs(state_);
        // The collector mode for many short-lived chunks: fewer instructions per W1 run.
        lua_gc(state_, LUA_GCGEN, 0, 0);
    }
    ~LuaState() { lua_close(state_); }
    LuaState(const LuaState&) = delete;
    LuaState& operator=(const LuaState&) = delete;

    lua_State* get() const { return state_; }

private:
    lua_State* state_;
};

// A host that does not share its state.
struct NoLock {
    bool acquire() { return true; }
    void release() {}
};

// The uncontended path is try_lock alone: the timed wait reads the clock first.
class SharedStateLock {
public:
    bool acquire() { return mutex_.try_lock() || mutex_.try_lock_for(std::chrono::milliseconds(1000)); }
    void release() { mutex_.unlock(); }

private:
    std::recursive_timed_mutex mutex_;
};

// One host call's hold of the lock; entered() is false when the wait ran out.
template <typename Lock>
class HostCall {
public:
    explicit HostCall(Lock& lock) : lock_(lock), entered_(lock.acquire()) {}
    ~HostCall() {
        if (entered_) lock_.release();
    }
    HostCall(const HostCall&) = delete;
    HostCall& operator=(const HostCall&) = delete;

    bool entered() const { return entered_; }

private:
    Lock& lock_;
    bool entered_;
};

void push_value(lua_State* lua, const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        lua_pushlstring(lua, text->data(), text->size());
    } else {
        lua_pushinteger(lua, static_cast<lua_Integer>(std::get<int64_t>(value)));
    }
}

template <typename Lock>
class LuaScripts {
public:
    explicit LuaScripts(Workload workload) : script_(script_texts(workload).lua) {
        if (load(script_texts(workload).lua_setup)) call();
        if (script_handling(workload) != ScriptHandling::fresh_text && load(script_)) {
            chunk_ = luaL_ref(state_.get(), LUA_REGISTRYINDEX);
        }
    }

    void run_script() {
        HostCall<Lock> call(lock_);
        if (!call.entered()) {
            error_ = "the wait for the lock ran out";
            return;
        }
        if (chunk_ != LUA_NOREF) {
            lua_rawgeti(state_.get(), LUA_REGISTRYINDEX, chunk_);
            this->call();
        } else if (load(script_)) {
            this->call();
        }
    }

    Value read(const std::string& name) const {
        lua_State* lua = state_.get();
        lua_getglobal(lua, name.c_str());
        Value value;
        if (lua_isinteger(lua, -1)) {
            value = static_cast<int64_t>(lua_tointeger(lua, -1));
        } else if (lua_type(lua, -1) == LUA_TNUMBER) {
            value = static_cast<double>(lua_tonumber(lua, -1));
        } else if (lua_type(lua, -1) == LUA_TSTRING) {
            std::size_t length;
            const char* text = lua_tolstring(lua, -1, &length);
            value = std::string(text, length);
        }
        lua_pop(lua, 1);
        return value;
    }

    const std::string& error() const { return error_; }

private:
    // Compiles `text` into a function on the stack; false, with the error noted, when it fails.
    bool load(const std::string& text) {
        if (luaL_loadbufferx(state_.get(), text.data(), text.size(), "=script", "t") == LUA_OK) return true;
        take_error();
        return false;
    }

    // Calls the function on the stack.
    void call() {
        if (lua_pcall(state_.get(), 0, 0, 0) != LUA_OK) take_error();
    }

    void take_error() {
        error_ = lua_tostring(state_.get(), -1);
        lua_pop(state_.get(), 1);
    }

    LuaState state_;
    Lock lock_;
    const std::string& script_;
    int chunk_ = LUA_NOREF;  // the compiled chunk of a prepared workload, in the registry
    std::string error_;
};

// A host given a name as a C string per call: lua_setglobal and lua_getglobal. They were the
// fastest of the honest ways measured, ahead of lua_setfield/lua_getfield on the globals table
// kept on the stack and of lua_pushstring with lua_rawset/lua_rawget; Lua's cache of strings by
// their C address spares the interning when the host passes the same pointers again, as here.
// Keeping interned names across calls would need a map from C string to name, a lookup of its own.
// Setting and getting are two host calls, as they are for regscript.
template <typename Lock>
class LuaPairs {
public:
    explicit LuaPairs(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            lua_pushinteger(state_.get(), 0);
            lua_setglobal(state_.get(), name.c_str());
        }
    }

    int64_t set_then_get(const char* name, int32_t value) {
        set(name, value);
        return get(name);
    }

private:
    void set(const char* name, int32_t value) {
        HostCall<Lock> call(lock_);
        if (!call.entered()) return;
        lua_pushinteger(state_.get(), value);
        lua_setglobal(state_.get(), name);
    }

    // -1, which no pair sets, when the wait for the lock ran out.
    int64_t get(const char* name) {
        HostCall<Lock> call(lock_);
        if (!call.entered()) return -1;
        lua_State* lua = state_.get();
        lua_getglobal(lua, name);
        lua_Integer found = lua_tointeger(lua, -1);
        lua_pop(lua, 1);
        return static_cast<int64_t>(found);
    }

    LuaState state_;
    Lock lock_;
};

// string.gsub(text, "%[(%w+)%]", values), with the function and the table kept in the registry.
class LuaSubstitution {
public:
    explicit LuaSubstitution(const std::vector<NamedValue>& variables) {
        lua_State* lua = state_.get();
        lua_getglobal(lua, "string");
        lua_getfield(lua, -1, "gsub");
        gsub_ = luaL_ref(lua, LUA_REGISTRYINDEX);
        lua_pop(lua, 1);
        lua_createtable(lua, 0, static_cast<int>(variables.size()));
        for (const NamedValue& variable : variables) {
            push_value(lua, variable.value);
            lua_setfield(lua, -2, variable.name.c_str());
        }
        values_ = luaL_ref(lua, LUA_REGISTRYINDEX);
    }

    // A failure's message takes the place of the result, so that the check shows it.
    void substitute(const std::string& text, std::string* result) {
        lua_State* lua = state_.get();
        lua_rawgeti(lua, LUA_REGISTRYINDEX, gsub_);
        lua_pushlstring(lua, text.data(), text.size());
        lua_pushliteral(lua, "%[(%w+)%]");
        lua_rawgeti(lua, LUA_REGISTRYINDEX, values_);
        lua_pcall(lua, 3, 1, 0);
        if (result) {
            std::size_t length;
            const char* substituted = lua_tolstring(lua, -1, &length);
            result->assign(substituted, length);
        }
        lua_pop(lua, 1);
    }

private:
    LuaState state_;
    int gsub_;
    int values_;
};

}  // namespace

std::unique_ptr<WorkloadRunner> make_lua_runner(Workload workload) {
    return make_runner<LuaScripts<NoLock>, LuaPairs<NoLock>, LuaSubstitution>(workload);
}

// W2 (also prepared) and W4 would take the lock once per run of 100,000 statements or 64 KB of
// text: no difference worth a column.
std::unique_ptr<WorkloadRunner> make_locked_lua_runner(Workload workload) {
    if (is_pair_workload(workload)) return std::make_unique<PairRuns<LuaPairs<SharedStateLock>>>(workload);
    if (!is_script_workload(workload) || workload_info(workload).units_per_operation > 1) return nullptr;
    return std::make_unique<ScriptRuns<LuaScripts<SharedStateLock>>>(workload);
}
