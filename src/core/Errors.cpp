#include "Errors.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include "io/FileIo.h"
#include "text/Cp932.h"

namespace pomurina {

std::string CurrentExceptionMessage() {
    try {
        throw;
    } catch (const Error& e) {
        return e.Message();
    } catch (const std::bad_alloc&) {
        return Utf8ToCp932("メモリが不足しています");
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return Utf8ToCp932("不明なエラーが発生しました");
    }
}

std::string WithFullStop(std::string_view message) {
    std::string text(message);
    // A double-byte last character always has a lead byte above "."; a single
    // byte compares as itself.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

std::string IntegerErrorText(std::string_view text) {
    static const std::string tail = Utf8ToCp932("' は整数ではありません");
    return "'" + std::string(text) + tail;
}

std::string FloatErrorText(std::string_view text) {
    static const std::string tail = Utf8ToCp932("' は浮動小数点数ではありません");
    return "'" + std::string(text) + tail;
}

std::string FileOpenErrorText(std::string_view fullPath, std::string_view systemText) {
    static const std::string head = Utf8ToCp932("ファイル \"");
    static const std::string tail = Utf8ToCp932(" は開けません");
    return head + std::string(fullPath) + "\". " + std::string(systemText) + tail;
}

std::string FileCreateErrorText(std::string_view fullPath, std::string_view systemText) {
    static const std::string head = Utf8ToCp932("ファイル \"");
    static const std::string tail = Utf8ToCp932(" を作成できません");
    return head + std::string(fullPath) + "\". " + std::string(systemText) + tail;
}

std::string ListIndexErrorText(long long index) {
    static const std::string head = Utf8ToCp932("リストのインデックスが範囲を超えています (");
    return head + std::to_string(index) + ")";
}

std::string CompressedFileErrorText(std::string_view fullPath, std::string_view format,
                                    bool truncated) {
    return Utf8ToCp932("ファイル \"") + std::string(fullPath) + "\". " + std::string(format) +
           Utf8ToCp932(truncated ? " 形式のデータが途中で終わっているため展開できません"
                                 : " 形式のデータが壊れているため展開できません");
}

FileOpenError FileOpenFailure(const std::string& path, int errorNumber) {
    return FileOpenError(FileOpenErrorText(PathText(FullPath(path)), SystemErrorText(errorNumber)));
}

FileCreateError FileCreateFailure(const std::string& path, int errorNumber) {
    return FileCreateError(
        FileCreateErrorText(PathText(FullPath(path)), SystemErrorText(errorNumber)));
}

std::string SystemErrorText(int errorNumber) {
    const char* text = nullptr;
    switch (errorNumber) {
        case ENOENT:
            text = "指定されたファイルが見つかりません";
            break;
        case ENOTDIR:
            text = "指定されたパスが見つかりません";
            break;
        case EACCES:
        case EPERM:
        case EISDIR:
            text = "アクセスが拒否されました";
            break;
        case ENOSPC:
            text = "ディスクに十分な空き領域がありません";
            break;
        case EROFS:
            text = "メディアは書き込み禁止になっています";
            break;
        case EMFILE:
        case ENFILE:
            text = "システムはファイルを開くことができません";
            break;
        case ENAMETOOLONG:
            text = "ファイル名が長すぎます";
            break;
        case EFBIG:
            text = "ファイルのサイズが上限を超えています";
            break;
        case EIO:
            text = "デバイスに I/O エラーが発生しました";
            break;
        case kNotRegularFile:
            text = "通常のファイルではありません";
            break;
        case kUntrustedLink:
            text =
                "共有フォルダにある他のユーザーのシンボリック リンクはたどれません。"
                "リンクの持ち主とリンク先を確かめてください";
            break;
        case EBUSY:
        case ETXTBSY:
            text = "プロセスはファイルにアクセスできません。別のプロセスが使用中です";
            break;
        default:
            break;
    }
    if (text) return Utf8ToCp932(text);
    std::string fallback = Utf8ToCp932("システム エラー (") + std::to_string(errorNumber) + ") ";
    return fallback + std::strerror(errorNumber);
}

std::string InOutErrorText(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return Utf8ToCp932("ファイルが見つかりません");
        case EACCES:
        case EPERM:
        case EISDIR:
            return Utf8ToCp932("ファイルへのアクセスが拒否されました");
        default:
            return Utf8ToCp932("I/O エラー (") + std::to_string(errorNumber) + ")";
    }
}

}  // namespace pomurina
