<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Dialogs</name>
    <message>
        <source>发现新版本啦!</source>
        <translation>A new version is available!</translation>
    </message>
    <message>
        <source>没有发现新版本!</source>
        <translation>You have the latest version.</translation>
    </message>
    <message>
        <source>安装包的下载地址不安全(只支持 https),已取消下载!</source>
        <translation>The installer's address is not secure (only https is supported); the download was cancelled.</translation>
    </message>
    <message>
        <source>安装包的下载地址无效,已取消下载!</source>
        <translation>The installer's address is not valid; the download was cancelled.</translation>
    </message>
    <message>
        <source>联系方式不能为空!</source>
        <translation>Please enter how we can reach you.</translation>
    </message>
    <message>
        <source>反馈内容不能为空!</source>
        <translation>Please enter your feedback.</translation>
    </message>
    <message>
        <source>反馈信息已提交!</source>
        <translation>Thank you, your feedback was sent.</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>网络错误!</source>
        <translation>Network error.</translation>
    </message>
</context>
<context>
    <name>DownloadDialog</name>
    <message>
        <source>升级下载</source>
        <translation>Downloading the upgrade</translation>
    </message>
    <message>
        <source>正在下载新版本的安装包…</source>
        <translation>Downloading the new version's installer…</translation>
    </message>
    <message>
        <source>0%</source>
        <translation>0%</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>FeedbackDialog</name>
    <message>
        <source>意见反馈</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>您的意见或建议</source>
        <translation>Your comments or suggestions</translation>
    </message>
    <message>
        <source>请描述您遇到的问题或希望增加的功能</source>
        <translation>Describe the problem you met or the feature you would like</translation>
    </message>
    <message>
        <source>联系方式</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>邮箱、QQ、微信或手机号,方便我们回复您</source>
        <translation>E-mail, QQ, WeChat or phone number, so we can reply</translation>
    </message>
    <message>
        <source>查看帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>提交</source>
        <translation>Send</translation>
    </message>
</context>
<context>
    <name>ImageListContainerElement</name>
    <message>
        <source>压缩失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>压缩后大小</source>
        <translation>New size</translation>
    </message>
    <message>
        <source>节省比例</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>压 缩</source>
        <translation>Compress</translation>
    </message>
    <message>
        <source>⋯</source>
        <translation>⋯</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Brisklo 视频压缩</source>
        <translation>Brisklo Video Compressor</translation>
    </message>
    <message>
        <source>视频压缩</source>
        <translation>Videos</translation>
    </message>
    <message>
        <source>图片压缩</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>反馈</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>压缩级别</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>普通压缩</source>
        <translation>General</translation>
    </message>
    <message>
        <source>深度压缩</source>
        <translation>Deep</translation>
    </message>
    <message>
        <source>极限压缩</source>
        <translation>Limit</translation>
    </message>
    <message>
        <source>输出格式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>MP4</source>
        <translation>MP4</translation>
    </message>
    <message>
        <source>FLV</source>
        <translation>FLV</translation>
    </message>
    <message>
        <source>MOV</source>
        <translation>MOV</translation>
    </message>
    <message>
        <source>MKV</source>
        <translation>MKV</translation>
    </message>
    <message>
        <source>分辨率</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>原始分辨率</source>
        <translation>Original size</translation>
    </message>
    <message>
        <source>1920×1080</source>
        <translation>1920×1080</translation>
    </message>
    <message>
        <source>1280×720</source>
        <translation>1280×720</translation>
    </message>
    <message>
        <source>1024×600</source>
        <translation>1024×600</translation>
    </message>
    <message>
        <source>800×600</source>
        <translation>800×600</translation>
    </message>
    <message>
        <source>720×576</source>
        <translation>720×576</translation>
    </message>
    <message>
        <source>720×480</source>
        <translation>720×480</translation>
    </message>
    <message>
        <source>640×480</source>
        <translation>640×480</translation>
    </message>
    <message>
        <source>640×360</source>
        <translation>640×360</translation>
    </message>
    <message>
        <source>480×360</source>
        <translation>480×360</translation>
    </message>
    <message>
        <source>480×272</source>
        <translation>480×272</translation>
    </message>
    <message>
        <source>352×288</source>
        <translation>352×288</translation>
    </message>
    <message>
        <source>320×240</source>
        <translation>320×240</translation>
    </message>
    <message>
        <source>自定义画质</source>
        <translation>Custom quality</translation>
    </message>
    <message>
        <source>55%</source>
        <translation>55%</translation>
    </message>
    <message>
        <source>均衡模式(速度与质量兼顾)</source>
        <translation>Balanced (speed and quality)</translation>
    </message>
    <message>
        <source>点击添加视频文件，或将文件拖到这里</source>
        <translation>Click to add videos, or drop files here</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>添加文件</source>
        <translation>Add files</translation>
    </message>
    <message>
        <source>添加文件夹</source>
        <translation>Add folder</translation>
    </message>
    <message>
        <source>全部压缩</source>
        <translation>Compress all</translation>
    </message>
    <message>
        <source>保持原格式</source>
        <translation>Keep format</translation>
    </message>
    <message>
        <source>转为JPG</source>
        <translation>Convert to JPG</translation>
    </message>
    <message>
        <source>缩放</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>原始尺寸</source>
        <translation>Original size</translation>
    </message>
    <message>
        <source>90%</source>
        <translation>90%</translation>
    </message>
    <message>
        <source>80%</source>
        <translation>80%</translation>
    </message>
    <message>
        <source>70%</source>
        <translation>70%</translation>
    </message>
    <message>
        <source>60%</source>
        <translation>60%</translation>
    </message>
    <message>
        <source>50%</source>
        <translation>50%</translation>
    </message>
    <message>
        <source>自定义尺寸</source>
        <translation>Custom size</translation>
    </message>
    <message>
        <source>宽</source>
        <translation>W</translation>
    </message>
    <message>
        <source>×</source>
        <translation>×</translation>
    </message>
    <message>
        <source>高</source>
        <translation>H</translation>
    </message>
    <message>
        <source>GIF删帧</source>
        <translation>Drop GIF frames</translation>
    </message>
    <message>
        <source>每6帧删1帧</source>
        <translation>1 in 6 frames</translation>
    </message>
    <message>
        <source>每5帧删1帧</source>
        <translation>1 in 5 frames</translation>
    </message>
    <message>
        <source>每4帧删1帧</source>
        <translation>1 in 4 frames</translation>
    </message>
    <message>
        <source>每3帧删1帧</source>
        <translation>1 in 3 frames</translation>
    </message>
    <message>
        <source>隔帧删除(保留奇数帧)</source>
        <translation>Every other frame (keep odd frames)</translation>
    </message>
    <message>
        <source>点击添加图片文件，或将文件拖到这里</source>
        <translation>Click to add images, or drop files here</translation>
    </message>
    <message>
        <source>添加图片</source>
        <translation>Add images</translation>
    </message>
    <message>
        <source>压缩中</source>
        <translation>Compressing</translation>
    </message>
    <message>
        <source>压缩完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>压 缩</source>
        <translation>Compress</translation>
    </message>
    <message>
        <source>正在压缩</source>
        <translation>Compressing</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>压缩失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>请先添加文件!</source>
        <translation>Please add files first.</translation>
    </message>
    <message>
        <source>请输入图片的宽度!</source>
        <translation>Please enter the image width.</translation>
    </message>
    <message>
        <source>图片宽度必须为数字!</source>
        <translation>The image width must be a number.</translation>
    </message>
    <message>
        <source>请输入图片的高度!</source>
        <translation>Please enter the image height.</translation>
    </message>
    <message>
        <source>图片高度必须为数字!</source>
        <translation>The image height must be a number.</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Brisklo</source>
        <translation>Brisklo</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PromptBox</name>
    <message>
        <source>Brisklo</source>
        <translation>Brisklo</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>VideoListContainerElement</name>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>此任务使用自己的参数</source>
        <translation>This task uses its own parameters</translation>
    </message>
    <message>
        <source>·</source>
        <translation>·</translation>
    </message>
    <message>
        <source>压缩失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>压缩后大小</source>
        <translation>New size</translation>
    </message>
    <message>
        <source>节省比例</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>压 缩</source>
        <translation>Compress</translation>
    </message>
    <message>
        <source>⋯</source>
        <translation>⋯</translation>
    </message>
</context>
</TS>
