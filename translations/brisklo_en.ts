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
        <translation>The installer&apos;s address is not secure (only https is supported); the download was cancelled.</translation>
    </message>
    <message>
        <source>安装包的下载地址无效,已取消下载!</source>
        <translation>The installer&apos;s address is not valid; the download was cancelled.</translation>
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
    <message>
        <source>检查更新失败, 请检查网络连接后再试。
%1</source>
        <translation>The update check failed. Check the network connection and try again.
%1</translation>
    </message>
    <message>
        <source>无法打开文件夹 %1: 没有找到能打开它的程序 (xdg-open 或文件管理器)。</source>
        <translation>Cannot open the folder %1: no program to open it was found (xdg-open or a file manager).</translation>
    </message>
    <message>
        <source>无法打开网页 %1: 没有找到能打开它的程序 (xdg-open 或网页浏览器)。</source>
        <translation>Cannot open the page %1: no program to open it was found (xdg-open or a web browser).</translation>
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
        <translation>Downloading the new version&apos;s installer…</translation>
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
    <name>FailureText</name>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>找不到编码程序 ffmpeg</source>
        <translation>ffmpeg not found</translation>
    </message>
    <message>
        <source>编码失败</source>
        <translation>Encoder failed</translation>
    </message>
    <message>
        <source>编码程序无响应</source>
        <translation>Encoder stalled</translation>
    </message>
    <message>
        <source>图片处理失败</source>
        <translation>Image processing failed</translation>
    </message>
    <message>
        <source>处理超时</source>
        <translation>Took too long</translation>
    </message>
    <message>
        <source>无法写出结果文件</source>
        <translation>Cannot write the output</translation>
    </message>
    <message>
        <source>无法压到目标大小</source>
        <translation>Cannot reach the size</translation>
    </message>
    <message>
        <source>源文件不存在</source>
        <translation>Source file missing</translation>
    </message>
    <message>
        <source>不支持的文件</source>
        <translation>Not a supported file</translation>
    </message>
    <message>
        <source>文件已损坏</source>
        <translation>Damaged file</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>No space left on the disk</translation>
    </message>
    <message>
        <source>没有读写权限</source>
        <translation>No permission</translation>
    </message>
    <message>
        <source>文件太大, 无法处理</source>
        <translation>Too large to process</translation>
    </message>
    <message>
        <source>压缩失败</source>
        <translation>Compression failed</translation>
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
    <name>ImagePopMenu</name>
    <message>
        <source>在文件夹中显示</source>
        <translation>Show in folder</translation>
    </message>
    <message>
        <source>打开输出文件夹</source>
        <translation>Open output folder</translation>
    </message>
    <message>
        <source>重新压缩</source>
        <translation>Compress again</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>停止压缩</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>MainTaskMenu</name>
    <message>
        <source>显示主界面</source>
        <translation>Show main window</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>意见反馈</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>检查更新</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>等待中</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>等待中 (第 %1 个)</source>
        <translation>Waiting (#%1)</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>清空列表</source>
        <translation>Clear list</translation>
    </message>
    <message>
        <source>剩余不到 1 分钟</source>
        <translation>under a minute left</translation>
    </message>
    <message>
        <source>剩余约 %1 分钟</source>
        <translation>about %1 min left</translation>
    </message>
    <message>
        <source>剩余约 %1 小时 %2 分钟</source>
        <translation>about %1 h %2 min left</translation>
    </message>
    <message>
        <source>已节省 %1</source>
        <translation>%1 saved</translation>
    </message>
    <message>
        <source>已暂停</source>
        <translation>paused</translation>
    </message>
    <message>
        <source>停止全部</source>
        <translation>Stop all</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>%1 个视频到“视频压缩”</source>
        <translation>%1 video(s) to “Videos”</translation>
    </message>
    <message>
        <source>%1 张图片到“图片压缩”</source>
        <translation>%1 image(s) to “Images”</translation>
    </message>
    <message>
        <source>没有添加文件。</source>
        <translation>No files were added.</translation>
    </message>
    <message>
        <source>已添加 %1。</source>
        <translation>Added %1.</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 个不支持的文件</source>
        <translation>%1 unsupported file(s)</translation>
    </message>
    <message>
        <source>%1 个已在列表中的文件</source>
        <translation>%1 file(s) already in the list</translation>
    </message>
    <message>
        <source>%1 个无法读取的文件</source>
        <translation>%1 unreadable file(s)</translation>
    </message>
    <message>
        <source>%1 个子文件夹</source>
        <translation>%1 sub-folder(s)</translation>
    </message>
    <message>
        <source>跳过 %1。</source>
        <translation> Skipped %1.</translation>
    </message>
    <message>
        <source>选择 %1</source>
        <translation>Select %1</translation>
    </message>
    <message>
        <source>%1 的更多操作</source>
        <translation>More actions for %1</translation>
    </message>
    <message>
        <source>包含子文件夹</source>
        <translation>Include sub-folders</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
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
    <message>
        <source>请先添加要压缩的文件!</source>
        <translation>Please add the files to compress first.</translation>
    </message>
    <message>
        <source>文件正在压缩中,不能删除!</source>
        <translation>The file is being compressed and cannot be deleted.</translation>
    </message>
    <message>
        <source>正在压缩中,确定要退出吗?</source>
        <translation>Compression is running. Quit anyway?</translation>
    </message>
    <message>
        <source>移除已完成</source>
        <translation>Remove finished</translation>
    </message>
    <message>
        <source>BRK视频压缩</source>
        <translation>BRK Video Compressor</translation>
    </message>
    <message>
        <source>支持图片格式(*.bmp;*.jpg;*.png;*.gif)</source>
        <translation>Images (*.bmp;*.jpg;*.png;*.gif)</translation>
    </message>
    <message>
        <source>视频文件(*.mp4;*.flv;*.wmv;*.avi;*.mov;*.mkv;*.m4v;*.f4v;*.ts;*.mts;*.rm;*.rmvb;*.m3u8;*.webm;*.mpg;*.mpeg;*.asf;*.dat;*.3gp;*.3g2;*.vob;*.ogv;*.divx;*.mxf)</source>
        <translation>Videos (*.mp4;*.flv;*.wmv;*.avi;*.mov;*.mkv;*.m4v;*.f4v;*.ts;*.mts;*.rm;*.rmvb;*.m3u8;*.webm;*.mpg;*.mpeg;*.asf;*.dat;*.3gp;*.3g2;*.vob;*.ogv;*.divx;*.mxf)</translation>
    </message>
    <message>
        <source>选择图片存放目录</source>
        <translation>Choose a folder of images</translation>
    </message>
    <message>
        <source>选择视频存放目录</source>
        <translation>Choose a folder of videos</translation>
    </message>
    <message>
        <source>已是最优，保留原文件</source>
        <translation>Already optimal; original kept</translation>
    </message>
    <message>
        <source>%1 个成功, %2 个失败</source>
        <translation>%1 succeeded, %2 failed</translation>
    </message>
    <message>
        <source>, 共节省 %1 (%2)</source>
        <translation>, saved %1 (%2)</translation>
    </message>
    <message>
        <source>压缩任务已完成</source>
        <translation>Compression finished</translation>
    </message>
    <message>
        <source>指定大小</source>
        <translation>Fit under</translation>
    </message>
    <message>
        <source>自定义大小</source>
        <translation>Custom size</translation>
    </message>
    <message>
        <source>按原大小百分比</source>
        <translation>Share of the original</translation>
    </message>
    <message>
        <source>画质优先</source>
        <translation>Quality first</translation>
    </message>
    <message>
        <source>更慢，文件更小</source>
        <translation>Slower, smaller files</translation>
    </message>
    <message>
        <source>每张不超过</source>
        <translation>Each at most</translation>
    </message>
    <message>
        <source>压缩强度</source>
        <translation>Compression strength</translation>
    </message>
    <message>
        <source>目标大小</source>
        <translation>Target size</translation>
    </message>
    <message>
        <source>8 MB</source>
        <translation>8 MB</translation>
    </message>
    <message>
        <source>10 MB</source>
        <translation>10 MB</translation>
    </message>
    <message>
        <source>25 MB</source>
        <translation>25 MB</translation>
    </message>
    <message>
        <source>50 MB</source>
        <translation>50 MB</translation>
    </message>
    <message>
        <source>100 MB</source>
        <translation>100 MB</translation>
    </message>
    <message>
        <source>目标大小 (MB)</source>
        <translation>Target size (MB)</translation>
    </message>
    <message>
        <source> MB</source>
        <translation> MB</translation>
    </message>
    <message>
        <source>图片尺寸</source>
        <translation>Image size</translation>
    </message>
    <message>
        <source>图片宽度</source>
        <translation>Image width</translation>
    </message>
    <message>
        <source>图片高度</source>
        <translation>Image height</translation>
    </message>
    <message>
        <source>每张图片的最大大小 (KB)</source>
        <translation>Largest size per image (KB)</translation>
    </message>
    <message>
        <source> KB</source>
        <translation> KB</translation>
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
    <name>OutputFolderBar</name>
    <message>
        <source>输出目录:</source>
        <translation>Output folder:</translation>
    </message>
    <message>
        <source>更改目录</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>打开目录</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>ParamDialog</name>
    <message>
        <source>参数设置</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>压缩等级</source>
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
        <source>分辨率</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>原始分辨率</source>
        <translation>Original size</translation>
    </message>
    <message>
        <source>1920x1080</source>
        <translation>1920x1080</translation>
    </message>
    <message>
        <source>1280x720</source>
        <translation>1280x720</translation>
    </message>
    <message>
        <source>1024x600</source>
        <translation>1024x600</translation>
    </message>
    <message>
        <source>800x600</source>
        <translation>800x600</translation>
    </message>
    <message>
        <source>720x576</source>
        <translation>720x576</translation>
    </message>
    <message>
        <source>720x480</source>
        <translation>720x480</translation>
    </message>
    <message>
        <source>640x480</source>
        <translation>640x480</translation>
    </message>
    <message>
        <source>640x360</source>
        <translation>640x360</translation>
    </message>
    <message>
        <source>480x360</source>
        <translation>480x360</translation>
    </message>
    <message>
        <source>480x272</source>
        <translation>480x272</translation>
    </message>
    <message>
        <source>352x288</source>
        <translation>352x288</translation>
    </message>
    <message>
        <source>320x240</source>
        <translation>320x240</translation>
    </message>
    <message>
        <source>声道</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>双声道</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>单声道</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>采样率</source>
        <translation>Sample rate</translation>
    </message>
    <message>
        <source>96000 Hz</source>
        <translation>96000 Hz</translation>
    </message>
    <message>
        <source>88200 Hz</source>
        <translation>88200 Hz</translation>
    </message>
    <message>
        <source>64000 Hz</source>
        <translation>64000 Hz</translation>
    </message>
    <message>
        <source>48000 Hz</source>
        <translation>48000 Hz</translation>
    </message>
    <message>
        <source>44100 Hz</source>
        <translation>44100 Hz</translation>
    </message>
    <message>
        <source>32000 Hz</source>
        <translation>32000 Hz</translation>
    </message>
    <message>
        <source>24000 Hz</source>
        <translation>24000 Hz</translation>
    </message>
    <message>
        <source>22050 Hz</source>
        <translation>22050 Hz</translation>
    </message>
    <message>
        <source>16000 Hz</source>
        <translation>16000 Hz</translation>
    </message>
    <message>
        <source>12000 Hz</source>
        <translation>12000 Hz</translation>
    </message>
    <message>
        <source>11025 Hz</source>
        <translation>11025 Hz</translation>
    </message>
    <message>
        <source>8000 Hz</source>
        <translation>8000 Hz</translation>
    </message>
    <message>
        <source>7350 Hz</source>
        <translation>7350 Hz</translation>
    </message>
    <message>
        <source>音频码率</source>
        <translation>Audio bit rate</translation>
    </message>
    <message>
        <source>320 kbps</source>
        <translation>320 kbps</translation>
    </message>
    <message>
        <source>128 kbps</source>
        <translation>128 kbps</translation>
    </message>
    <message>
        <source>96 kbps</source>
        <translation>96 kbps</translation>
    </message>
    <message>
        <source>64 kbps</source>
        <translation>64 kbps</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Restore defaults</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>指定大小</source>
        <translation>Fit under</translation>
    </message>
    <message>
        <source>按画质压缩</source>
        <translation>By quality</translation>
    </message>
    <message>
        <source>自定义大小</source>
        <translation>Custom size</translation>
    </message>
    <message>
        <source>按原大小百分比</source>
        <translation>Share of the original</translation>
    </message>
    <message>
        <source>8 MB</source>
        <translation>8 MB</translation>
    </message>
    <message>
        <source>10 MB</source>
        <translation>10 MB</translation>
    </message>
    <message>
        <source>25 MB</source>
        <translation>25 MB</translation>
    </message>
    <message>
        <source>50 MB</source>
        <translation>50 MB</translation>
    </message>
    <message>
        <source>100 MB</source>
        <translation>100 MB</translation>
    </message>
</context>
<context>
    <name>PopMenu</name>
    <message>
        <source>在文件夹中显示</source>
        <translation>Show in folder</translation>
    </message>
    <message>
        <source>取消等待</source>
        <translation>Cancel waiting</translation>
    </message>
    <message>
        <source>参数设置</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>打开输出文件夹</source>
        <translation>Open output folder</translation>
    </message>
    <message>
        <source>重新压缩</source>
        <translation>Compress again</translation>
    </message>
    <message>
        <source>停止压缩</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
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
    <name>SetingDialog</name>
    <message>
        <source>系统设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>基本设置</source>
        <translation>General</translation>
    </message>
    <message>
        <source>其他设置</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>输出目录</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>更改目录</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>打开目录</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>声道</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>双声道</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>单声道</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>采样率</source>
        <translation>Sample rate</translation>
    </message>
    <message>
        <source>96000 Hz</source>
        <translation>96000 Hz</translation>
    </message>
    <message>
        <source>88200 Hz</source>
        <translation>88200 Hz</translation>
    </message>
    <message>
        <source>64000 Hz</source>
        <translation>64000 Hz</translation>
    </message>
    <message>
        <source>48000 Hz</source>
        <translation>48000 Hz</translation>
    </message>
    <message>
        <source>44100 Hz</source>
        <translation>44100 Hz</translation>
    </message>
    <message>
        <source>32000 Hz</source>
        <translation>32000 Hz</translation>
    </message>
    <message>
        <source>24000 Hz</source>
        <translation>24000 Hz</translation>
    </message>
    <message>
        <source>22050 Hz</source>
        <translation>22050 Hz</translation>
    </message>
    <message>
        <source>16000 Hz</source>
        <translation>16000 Hz</translation>
    </message>
    <message>
        <source>12000 Hz</source>
        <translation>12000 Hz</translation>
    </message>
    <message>
        <source>11025 Hz</source>
        <translation>11025 Hz</translation>
    </message>
    <message>
        <source>8000 Hz</source>
        <translation>8000 Hz</translation>
    </message>
    <message>
        <source>7350 Hz</source>
        <translation>7350 Hz</translation>
    </message>
    <message>
        <source>音频码率</source>
        <translation>Audio bit rate</translation>
    </message>
    <message>
        <source>320 kbps</source>
        <translation>320 kbps</translation>
    </message>
    <message>
        <source>128 kbps</source>
        <translation>128 kbps</translation>
    </message>
    <message>
        <source>96 kbps</source>
        <translation>96 kbps</translation>
    </message>
    <message>
        <source>64 kbps</source>
        <translation>64 kbps</translation>
    </message>
    <message>
        <source>关闭主界面时</source>
        <translation>When the main window is closed</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Quit the program</translation>
    </message>
    <message>
        <source>最小化,不退出程序</source>
        <translation>Minimise, keep running</translation>
    </message>
    <message>
        <source>节省不足</source>
        <translation>When saving less than</translation>
    </message>
    <message>
        <source>时保留原文件</source>
        <translation>keep the original</translation>
    </message>
    <message>
        <source>照片</source>
        <translation>Photos</translation>
    </message>
    <message>
        <source>保留照片信息(拍摄时间、相机、镜头)</source>
        <translation>Keep photo information (date taken, camera, lens)</translation>
    </message>
    <message>
        <source>同时保留拍摄位置(GPS)</source>
        <translation>Also keep the location (GPS)</translation>
    </message>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>压缩后不比原文件小时保留原文件</source>
        <translation>Keep the original when the result is not smaller</translation>
    </message>
    <message>
        <source>添加文件夹时包含子文件夹</source>
        <translation>Include subfolders when adding a folder</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>BRK视频压缩已在运行, 但没有回应, 文件未能加入。</source>
        <translation>Brisklo is already running but does not answer; the files were not added.</translation>
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
