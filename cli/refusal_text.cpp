#include "refusal_text.h"

namespace cli {

const char* RefusalText(engine::Refusal refusal) {
    switch (refusal) {
        case engine::Refusal::NoAlgorithm:
            return "请先选择一个校验算法!";
        case engine::Refusal::HexOddLength:
            return "十六进制串长度必须是偶数!";
        case engine::Refusal::HexIllegalCharacter:
            return "十六进制串中包含非法字符!";
        case engine::Refusal::NoFile:
            return "请先选择一个文件!";
        case engine::Refusal::UnknownFailure:
            return "计算过程中发生未知错误!";
        case engine::Refusal::FileUnreadable:
            return "指定文件拒绝访问!";
        case engine::Refusal::FileNotFound:
            return "不能打开指定文件!";
        case engine::Refusal::PathTooLong:
            return "指定文件路径太长!";
        case engine::Refusal::Stopped:
            return "stopped";
        case engine::Refusal::None:
            break;
    }
    return "";
}

}  // namespace cli
